#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/window_system.h"

namespace rt {

// The operations of a native object, as fault injection names them.
enum class PeerOp {
  Create,  // creating the window, control or menu item
  Show,
  Geometry,    // reading Left, Top, Width, Height
  Place,       // Move, or writing Width
  ClientSize,  // reading ScaleWidth, ScaleHeight
  SetText,     // writing Caption or Text
  Text,        // reading Caption or Text
  Handle,      // reading hWnd
  AddItem,
  Checked,     // reading Checked
  SetChecked,  // writing Checked
};

std::string_view op_name(PeerOp op);

// Which calls of which native objects are to fail: the nth call from now (1 is the next) of
// `op` on the object at `path` ("frmResizeT", "frmResizeT.Label1", "MDIResize.mnuOplossing")
// fails once with a run-time error.
class FaultPlan {
 public:
  void inject(std::string path, PeerOp op, int nth = 1,
              ErrorCode code = ErrorCode::PlatformCallFailed);
  // Raises the error of a fault whose turn this call is.
  void check(const std::string& path, PeerOp op) {
    if (!faults_.empty()) check_pending(path, op);
  }
  std::size_t pending() const { return faults_.size(); }
  std::size_t fired() const { return fired_; }
  void clear() { faults_.clear(); }

 private:
  struct Fault {
    std::string path;
    PeerOp op;
    int remaining;
    ErrorCode code;
  };
  void check_pending(const std::string& path, PeerOp op);

  std::vector<Fault> faults_;
  std::size_t fired_ = 0;
};

// Fault injection in front of a window system: every native object it makes from now on fails
// as the plan says, and otherwise does what the window system's own does. The window system
// must outlive this; the native objects may outlive either.
class FaultInjection final : private PeerWrapper {
 public:
  explicit FaultInjection(WindowSystem& ws);
  ~FaultInjection();
  FaultInjection(const FaultInjection&) = delete;
  FaultInjection& operator=(const FaultInjection&) = delete;

  FaultPlan& plan() { return *plan_; }

 private:
  void creating(const Object& owner) override;
  std::unique_ptr<Peer> wrap(std::unique_ptr<Peer> peer, const Object& owner) override;

  WindowSystem* ws_;
  std::shared_ptr<FaultPlan> plan_;
};

}  // namespace rt
