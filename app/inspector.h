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

 private:
  void schedule();
  // What every pass needs: the analysis, and the band's data.
  void follow();
  // Everything else, now or, if it was drawn a moment ago, a little later.
  void redraw_soon();
  void redraw();
  void place_beside_main();
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
