#include "runtime/qt/control_peer.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QTextCursor>
#include <QTextDocument>

#include "runtime/qt/list_box.h"

namespace rt::qt {

ControlPeer::ControlPeer(QtWindowSystem& ws, Object& owner, const ControlDesign& design,
                         QWidget& parent)
    : QtPeer(ws, owner, true), kind_(design.kind) {
  switch (kind_) {
    case ControlKind::ListBox: {
      auto* list = new ListBox(&parent);
      for (const std::string& item : design.items) list->addItem(to_display(item));
      widget_ = list;
      break;
    }
    case ControlKind::TextBox:
      widget_ = make_text_box(design, parent);
      break;
    case ControlKind::Label: {
      auto* label = new QLabel(&parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      widget_ = label;
      break;
    }
    case ControlKind::CommandButton: {
      auto* button = new QPushButton(&parent);
      button->setAutoDefault(false);
      QObject::connect(button, &QPushButton::clicked, button,
                       [this] { this->ws().report_click(this->owner()); });
      widget_ = button;
      break;
    }
  }
  QtWindowSystem::ProgramChange change(ws);
  widget_->setGeometry(ws.to_pixels(Rect{design.left, design.top, design.width, design.height}));
  write_text(kind_ == ControlKind::TextBox ? design.text : design.caption);
  // What the person types, however it comes (keys, a paste, a drop).
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) {
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] { text_changed(); });
  } else if (auto* line = qobject_cast<QLineEdit*>(widget_.data())) {
    QObject::connect(line, &QLineEdit::textChanged, line, [this] { text_changed(); });
  }
}

void ControlPeer::show() {
  QtWindowSystem::ProgramChange change(ws());
  alive(widget_).show();
}

Rect ControlPeer::geometry() {
  return ws().to_twips(alive(widget_).geometry());
}

bool ControlPeer::place(const Placement& placement) {
  return place_widget(alive(widget_), placement);
}

Size ControlPeer::client_size() {
  const QSize size = alive(widget_).size();
  return Size{ws().to_twips(size.width()), ws().to_twips(size.height())};
}

void ControlPeer::set_text(std::string_view text) {
  alive(widget_);
  write_text(text);
}

std::string ControlPeer::text() {
  alive(widget_);
  return read_text();
}

void ControlPeer::add_item(std::string_view item) {
  auto* list = kind_ == ControlKind::ListBox ? static_cast<ListBox*>(&alive(widget_)) : nullptr;
  if (list == nullptr) return Peer::add_item(item);
  list->addItem(to_display(item));
}

bool ControlPeer::set_horizontal_extent(int pixels) {
  if (kind_ != ControlKind::ListBox || widget_.isNull()) return false;
  static_cast<ListBox*>(widget_.data())->set_horizontal_extent(pixels);
  return true;
}

void ControlPeer::user_click() {
  if (auto* button = qobject_cast<QAbstractButton*>(widget_.data())) {
    button->click();
  } else if (!widget_.isNull()) {
    ws().report_click(owner());
  }
  ws().settle();
}

void ControlPeer::user_type(std::string_view typed) {
  if (!widget_.isNull()) type(typed);
  ws().settle();
}

void ControlPeer::type(std::string_view typed) {
  QWidget& widget = *widget_;
  const QString after = to_display(typed_text(read_text(), typed));
  if (auto* edit = qobject_cast<QPlainTextEdit*>(&widget)) {
    // One edit, as the keys of one action make: what stays stays, the rest is typed anew, and
    // the caret ends at the end.
    const QString before = edit->toPlainText();
    qsizetype same = 0;
    while (same < before.size() && same < after.size() && before[same] == after[same]) ++same;
    QTextCursor cursor(edit->document());
    cursor.beginEditBlock();
    cursor.setPosition(static_cast<int>(same));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertText(after.mid(same));
    cursor.endEditBlock();
    edit->setTextCursor(cursor);
  } else if (auto* line = qobject_cast<QLineEdit*>(&widget)) {
    line->setText(after);
  }
}

void ControlPeer::user_edit(const TextEdit& edit) {
  auto* box = qobject_cast<QPlainTextEdit*>(widget_.data());
  const std::string before = read_text();
  if (box != nullptr && edit_error(before, edit).empty()) {
    // The document's positions are characters of UTF-16, a line break one: those of the parts
    // before each end.
    const auto at = [&](std::size_t bytes) {
      return static_cast<int>(to_display(std::string_view(before).substr(0, bytes)).size());
    };
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.setPosition(at(edit.position));
    cursor.setPosition(at(edit.position + edit.removed), QTextCursor::KeepAnchor);
    cursor.insertText(to_display(with_line_breaks(edit.inserted)));
    cursor.endEditBlock();
    box->setTextCursor(cursor);
  }
  ws().settle();
}

void ControlPeer::text_changed() {
  std::string now = read_text();
  if (now == known_text_) return;
  const std::string before = std::exchange(known_text_, std::move(now));
  ws().report_text_changed(*this, before, known_text_);
}

PeerState ControlPeer::inspect() const {
  PeerState state;
  if (widget_.isNull()) return state;
  state.geometry = ws().to_twips(widget_->geometry());
  state.client = Size{ws().to_twips(widget_->width()), ws().to_twips(widget_->height())};
  state.text = read_text();
  state.visible = !widget_->isHidden();
  if (kind_ == ControlKind::ListBox) {
    const auto* list = static_cast<const ListBox*>(widget_.data());
    state.item_count = list->count();
    for (int i = 0; i < list->count(); ++i) {
      state.items.push_back(list->item(i)->text().toStdString());
    }
    state.horizontal_extent = list->horizontal_extent();
  }
  return state;
}

QWidget* ControlPeer::make_text_box(const ControlDesign& design, QWidget& parent) {
  if (!design.multi_line) return new QLineEdit(&parent);
  auto* edit = new QPlainTextEdit(&parent);
  // A horizontal bar means long lines are not wrapped; each bar is there all the time.
  const bool horizontal = (design.scroll_bars & 1) != 0;
  const bool vertical = (design.scroll_bars & 2) != 0;
  edit->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
  edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  return edit;
}

void ControlPeer::write_text(std::string_view text) {
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_.data())) {
    QtWindowSystem::ProgramChange change(ws());
    edit->setPlainText(to_display(text));
    known_text_ = read_text();
    return;
  }
  if (auto* line = qobject_cast<QLineEdit*>(widget_.data())) {
    QtWindowSystem::ProgramChange change(ws());
    line->setText(to_display(text));
    known_text_ = read_text();
    return;
  }
  caption_ = text;
  if (auto* label = qobject_cast<QLabel*>(widget_.data())) label->setText(to_display(text));
  if (auto* button = qobject_cast<QAbstractButton*>(widget_.data())) {
    button->setText(to_display(text));
  }
}

std::string ControlPeer::read_text() const {
  if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget_.data())) {
    return from_display(edit->toPlainText());
  }
  if (const auto* line = qobject_cast<const QLineEdit*>(widget_.data())) {
    return line->text().toStdString();
  }
  return caption_;
}

}  // namespace rt::qt
