#include "outcome/interruption.h"

#include <cstdio>

#include "outcome/run_stop.h"
#include "platform/platform.h"

void stopIfInterrupted() {
  if (!platform::interrupted()) return;
  std::printf("ERROR: Interrupted.\n");
  throw RunStop(platform::interruptedExitStatus());
}
