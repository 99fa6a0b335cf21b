#include "app/chart.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "runtime/variant.h"

namespace app {
namespace {

constexpr double kLeft = 200;  // room for the band names
constexpr double kRight = 30;
constexpr double kTop = 56;
constexpr double kBand = 40;
constexpr double kBandGap = 12;

// A step between axis ticks that gives at most about ten of them.
double tick_step(double span) {
  double step = 1;
  while (span / step > 10) {
    for (const double factor : {2.0, 2.5, 2.0}) {
      step *= factor;
      if (span / step <= 10) break;
    }
  }
  return step;
}

std::string number(double v) {
  return rt::format_number(std::round(v * 10) / 10);
}

}  // namespace

void write_svg(const SweepResult& result, const SweepOptions& options, std::ostream& out) {
  const double bands = std::size(kCombinations);
  const double plot_bottom = kTop + bands * (kBand + kBandGap) - kBandGap;
  const double height = plot_bottom + 110;
  // Two pixels a width at least, so that a run of alternating outcomes stays visible as
  // stripes, within what a screen can show.
  const double per_band = static_cast<double>(result.planned) / bands;
  const double plot_width = std::clamp(2.0 * per_band, 730.0, 3600.0);
  const double chart_width = kLeft + plot_width + kRight;
  // The last width's column reaches one step further.
  const double step =
      result.samples.size() > 1 ? result.samples[1].width - result.samples[0].width : 1.0;
  const double from = options.from;
  const double to = std::max(options.to + (step > 0 ? step : 1.0), from + 1.0);
  const auto x = [&](double width) { return kLeft + (width - from) / (to - from) * plot_width; };

  out << R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" << chart_width << "\" height=\""
      << height
      << "\" font-family=\"sans-serif\" font-size=\"13\" stroke=\"none\" "
         "shape-rendering=\"crispEdges\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      << "<text x=\"" << kLeft << "\" y=\"28\" font-size=\"16\" font-weight=\"bold\">"
      << "What each client width brings, per option</text>\n";
  if (result.interrupted) {
    out << "<text x=\"" << kLeft
        << "\" y=\"46\" fill=\"#c62828\">interrupted: " << result.samples.size() << " of "
        << result.planned << " passes measured</text>\n";
  }

  for (std::size_t band = 0; band < std::size(kCombinations); ++band) {
    const Combination& c = kCombinations[band];
    const double top = kTop + static_cast<double>(band) * (kBand + kBandGap);
    out << "<text x=\"" << kLeft - 10 << "\" y=\"" << top + kBand / 2 + 5
        << "\" text-anchor=\"end\">" << combination_name(c) << "</text>\n";
    out << "<rect x=\"" << kLeft << "\" y=\"" << top << "\" width=\"" << plot_width
        << "\" height=\"" << kBand << "\" fill=\"#eeeeee\"/>\n";
    // One rectangle per run of widths with the same outcome.
    const Sample* run_start = nullptr;
    Outcome run_outcome = Outcome::Exact;
    double run_end = 0;
    const auto flush = [&] {
      if (run_start == nullptr) return;
      out << "<rect x=\"" << number(x(run_start->width)) << "\" y=\"" << top << "\" width=\""
          << number(std::max(0.5, x(run_end) - x(run_start->width))) << "\" height=\"" << kBand
          << "\" fill=\"" << outcome_colour(run_outcome) << "\"><title>" << combination_name(c)
          << ", " << rt::format_number(run_start->width) << " to "
          << rt::format_number(run_end - step) << " twips: " << outcome_name(run_outcome)
          << "</title></rect>\n";
    };
    for (const Sample& s : result.samples) {
      if (s.combination != c) continue;
      const Outcome outcome = outcome_of(s);
      if (run_start == nullptr || outcome != run_outcome) {
        flush();
        run_start = &s;
        run_outcome = outcome;
      }
      run_end = s.width + step;
    }
    flush();
  }

  // The x axis with its ticks.
  out << "<line x1=\"" << kLeft << "\" y1=\"" << plot_bottom + 6 << "\" x2=\"" << kLeft + plot_width
      << "\" y2=\"" << plot_bottom + 6 << "\" stroke=\"#333\"/>\n";
  const double ticks = tick_step(to - from);
  for (double t = std::ceil(from / ticks) * ticks; t <= options.to; t += ticks) {
    out << "<line x1=\"" << number(x(t)) << "\" y1=\"" << plot_bottom + 6 << "\" x2=\""
        << number(x(t)) << "\" y2=\"" << plot_bottom + 12 << "\" stroke=\"#333\"/>\n"
        << "<text x=\"" << number(x(t)) << "\" y=\"" << plot_bottom + 27
        << "\" text-anchor=\"middle\">" << rt::format_number(t) << "</text>\n";
  }
  out << "<text x=\"" << kLeft + plot_width / 2 << "\" y=\"" << plot_bottom + 48
      << "\" text-anchor=\"middle\">client width (twips; " << rt::format_number(options.height)
      << " high)</text>\n";

  // The legend.
  double legend_x = kLeft;
  const double legend_y = plot_bottom + 70;
  for (const Outcome o : {Outcome::Exact, Outcome::Gap, Outcome::OneBar, Outcome::DoubleBar}) {
    out << "<rect x=\"" << legend_x << "\" y=\"" << legend_y
        << "\" width=\"14\" height=\"14\" fill=\"" << outcome_colour(o) << "\"/>\n<text x=\""
        << legend_x + 20 << "\" y=\"" << legend_y + 12 << "\">" << outcome_name(o) << "</text>\n";
    legend_x += 44 + 7.0 * static_cast<double>(outcome_name(o).size());
  }
  out << "</svg>\n";
}

}  // namespace app
