#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "app/analysis.h"
#include "app/magnifier.h"

class QLabel;
class QMdiArea;
class QTimer;

namespace rt {
class Application;
namespace qt {
class QtWindowSystem;
}
}  // namespace rt

namespace app {

class InspectorGrid;
class OutcomeBand;

// Where the inspector's window of `size` (frame included) goes beside the main window's frame
// `main` on `screen`: to the right where there is room, else to the left, else below, else
// above. Where there is room for the two side by side (or one above the other) only with the
// main window moved, both are placed as a pair where it was; where there is none, the
// inspector goes on the screen over as little of the main window as it can.
struct Arrangement {
  QRect inspector;
  QRect main;  // the main window's frame, moved or not
};
Arrangement beside(const QRect& main, const QSize& size, const QRect& screen);

// A second top-level window, "Inspector", beside the main window: what the last layout pass
// asked and what the window system holds, the analysis with its verdicts, the client area's
// edges magnified, and a band of the last passes' outcomes. It only reads: the program, its
// trace and its state are the same with it as without.
class Inspector final : public QWidget {
 public:
  // Takes `watcher`'s pass handler; `watcher` must watch `app`.
  Inspector(const rt::Application& app, rt::qt::QtWindowSystem& ws, PassWatcher& watcher);
  ~Inspector() override;

  // Reads the program's windows and shows what they hold now. After a pass, and when the scroll
  // bars change, this happens by itself: the band on the next turn of the event loop, the rest
  // at most every kRedrawInterval, and always once the events settle.
  void refresh();

  // Whether it has something to draw that it holds back for a moment.
  bool redraw_pending() const;

  // What it shows, as text: the analysis a line each, as `explain` prints it.
  std::vector<std::string> shown_analysis() const;
  // What Ctrl+C (or Copy in its context menu) puts on the clipboard: the rows of the grids
  // selected with the mouse, or all of them, a line each, the cells tab-separated.
  QString grid_text() const;
  // The pixels the magnifier enlarges.
  const EdgeView& right_edge() const { return right_; }
  const EdgeView& bottom_edge() const { return bottom_; }
  // How many passes the band holds.
  std::size_t band_size() const { return band_.size(); }

  static constexpr std::size_t kBandPasses = 300;
  // While passes keep coming, the inspector draws at most this often: a drag is not held up
  // drawing numbers nobody reads that fast (the band takes every pass all the same)...
  static constexpr int kRedrawIntervalMs = 1000;
  // ...and this long after they stop, the last pass shows.
  static constexpr int kSettledMs = 100;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void schedule();
  // What every pass needs: the analysis, and the band's data.
  void follow();
  // Everything else, now or, if it was drawn a moment ago, a little later.
  void redraw_soon();
  void redraw();
  // Once the main window is on the screen where its window manager puts it.
  void place_beside_main();
  void copy() const;
  // Whether the number of rows changed.
  bool show_moves();
  bool show_analysis();

  const rt::Application* app_;
  rt::qt::QtWindowSystem* ws_;
  PassWatcher* watcher_;
  QPointer<QMdiArea> area_;
  Analysis analysis_;
  EdgeView right_, bottom_;
  std::deque<Outcome> band_;
  std::uint64_t passes_seen_ = 0;
  bool pending_ = false;
  QElapsedTimer since_redraw_;
  QTimer* redraw_timer_;
  QTimer* settled_timer_;
  bool placed_ = false;

  QLabel* heading_;
  InspectorGrid* moves_;
  InspectorGrid* verdicts_;
  Magnifier* magnifier_;
  OutcomeBand* band_view_;
};

}  // namespace app
