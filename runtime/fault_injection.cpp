#include "runtime/fault_injection.h"

#include <algorithm>
#include <array>

#include "runtime/object.h"

namespace rt {
namespace {

constexpr std::array<std::string_view, 11> kOpNames = {
    "Create", "Show",   "Geometry", "Place",   "ClientSize", "SetText",
    "Text",   "Handle", "AddItem",  "Checked", "SetChecked",
};

// A native object of the inner window system, failing as the plan says.
class FaultyPeer final : public Peer {
 public:
  FaultyPeer(std::unique_ptr<Peer> inner, std::shared_ptr<FaultPlan> plan, const Object& owner)
      : inner_(std::move(inner)), plan_(std::move(plan)), owner_(&owner) {}

  void show() override {
    check(PeerOp::Show);
    inner_->show();
  }
  Rect geometry() override {
    check(PeerOp::Geometry);
    return inner_->geometry();
  }
  bool place(const Placement& placement) override {
    check(PeerOp::Place);
    return inner_->place(placement);
  }
  Size client_size() override {
    check(PeerOp::ClientSize);
    return inner_->client_size();
  }
  void set_text(std::string_view text) override {
    check(PeerOp::SetText);
    inner_->set_text(text);
  }
  std::string text() override {
    check(PeerOp::Text);
    return inner_->text();
  }
  WindowHandle handle() override {
    check(PeerOp::Handle);
    return inner_->handle();
  }
  void add_item(std::string_view item) override {
    check(PeerOp::AddItem);
    inner_->add_item(item);
  }
  bool checked() override {
    check(PeerOp::Checked);
    return inner_->checked();
  }
  void set_checked(bool checked) override {
    check(PeerOp::SetChecked);
    inner_->set_checked(checked);
  }
  PeerState inspect() const override { return inner_->inspect(); }

 private:
  void check(PeerOp op) { plan_->check(owner_->path(), op); }

  std::unique_ptr<Peer> inner_;
  std::shared_ptr<FaultPlan> plan_;
  const Object* owner_;
};

}  // namespace

std::string_view op_name(PeerOp op) {
  return kOpNames.at(static_cast<std::size_t>(op));
}

void FaultPlan::inject(std::string path, PeerOp op, int nth, ErrorCode code) {
  faults_.push_back(Fault{std::move(path), op, std::max(1, nth), code});
}

void FaultPlan::check_pending(const std::string& path, PeerOp op) {
  for (auto fault = faults_.begin(); fault != faults_.end(); ++fault) {
    if (fault->op != op || fault->path != path) continue;
    if (--fault->remaining > 0) continue;
    const ErrorCode code = fault->code;
    faults_.erase(fault);
    ++fired_;
    raise(code, std::string(op_name(op)) + " " + path);
  }
}

FaultInjection::FaultInjection(WindowSystem& ws) : ws_(&ws), plan_(std::make_shared<FaultPlan>()) {
  ws.wrap_peers(this);
}

FaultInjection::~FaultInjection() {
  ws_->wrap_peers(nullptr);
}

void FaultInjection::creating(const Object& owner) {
  plan_->check(owner.path(), PeerOp::Create);
}

std::unique_ptr<Peer> FaultInjection::wrap(std::unique_ptr<Peer> peer, const Object& owner) {
  return std::make_unique<FaultyPeer>(std::move(peer), plan_, owner);
}

}  // namespace rt
