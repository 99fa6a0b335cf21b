#pragma once

#include <cstddef>
#include <deque>

#include <QWidget>

#include "app/analysis.h"

namespace app {

// The last passes' outcomes, oldest at the left, coloured as the sweep's chart colours them.
class OutcomeBand final : public QWidget {
 public:
  // Shows `outcomes`, kept by whoever adds to them, up to `passes` of them.
  OutcomeBand(const std::deque<Outcome>& outcomes, std::size_t passes);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr int kColumn = 2;
  const std::deque<Outcome>* outcomes_;
};

}  // namespace app
