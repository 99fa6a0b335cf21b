#pragma once

#include <string>
#include <string_view>

#include <QPointer>
#include <QString>

#include "runtime/error.h"
#include "runtime/object.h"
#include "runtime/qt/qt_window_system.h"
#include "runtime/window_system.h"

class QWidget;

namespace rt::qt {

// The program's strings break lines with CR LF, as the forms runtime's do; Qt's with LF.
QString to_display(std::string_view text);
std::string from_display(QString text);

// A native object on Qt. A person's actions on it come to it by its runtime object.
class QtPeer : public Peer, public Person::Target {
 public:
  QtPeer(QtWindowSystem& ws, Object& owner, bool is_window);
  ~QtPeer() override;
  QtPeer(const QtPeer&) = delete;
  QtPeer& operator=(const QtPeer&) = delete;

  Object& owner() const { return *owner_; }
  virtual QObject* native() const = 0;
  // The widget that a user's move or resize applies to, if any.
  virtual QWidget* placed_widget() const { return nullptr; }
  // Only list boxes take a horizontal extent.
  virtual bool set_horizontal_extent(int) { return false; }
  // What controls made on this form go into: a child form's client area; none elsewhere.
  virtual QWidget* control_parent() const { return nullptr; }

  WindowHandle handle() override;

 protected:
  QtWindowSystem& ws() const { return *ws_; }
  // Whether the size changed: a Resize is due then.
  bool place_widget(QWidget& widget, const Placement& placement) const;
  // The native object, which Qt may have taken down under the program (with its window).
  template <class T>
  T& alive(const QPointer<T>& object) const {
    if (object.isNull()) raise(ErrorCode::PlatformCallFailed, owner_->path() + " has no window");
    return *object;
  }

 private:
  QtWindowSystem* ws_;
  Object* owner_;
  WindowHandle handle_ = 0;
};

// A form's window, which the peer owns, and its caption as the program wrote it (the title
// shows what Qt can of it).
template <class Window>
class WindowPeer : public QtPeer {
 public:
  WindowPeer(QtWindowSystem& ws, Object& owner, const FormDesign& design)
      : QtPeer(ws, owner, true), window_(new Window), caption_(design.caption) {
    window_->setWindowTitle(to_display(design.caption));
  }
  ~WindowPeer() override { delete window_.data(); }

  QObject* native() const override { return window_.data(); }

  void set_text(std::string_view text) override {
    alive(window_).setWindowTitle(to_display(text));
    caption_ = text;
  }
  std::string text() override {
    alive(window_);
    return caption_;
  }

 protected:
  QPointer<Window> window_;
  std::string caption_;
};

}  // namespace rt::qt
