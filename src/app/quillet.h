#pragma once

#include "core/program.h"

namespace quillet::app {

// The program as it starts: the core's Program with its windows built and
// their handlers bound by the wiring.
class Quillet : public core::Program {
 public:
  Quillet(ui::Backend& backend, core::Environment env);
  ~Quillet() override;
  Quillet(const Quillet&) = delete;
  Quillet& operator=(const Quillet&) = delete;

 protected:
  void createHostWindow() override;
  void buildMainWindow(ui::Window& window) override;
  void mainWindowCreated() override;
  void writeStateFiles() override;
};

}  // namespace quillet::app
