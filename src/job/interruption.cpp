#include "job/interruption.h"

#include <cstdio>

#include "job/run_stop.h"
#include "platform/platform.h"

void stopIfInterrupted() {
  if (!platform::interrupted()) return;
  std::printf("ERROR: Interrupted.\n");
  throw RunStop(platform::interruptedExitStatus());
}
