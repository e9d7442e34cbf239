#include <cstdio>
#include <new>

#include "app/run.h"
#include "outcome/run_stop.h"

// The process ends here and nowhere else.
int main(int argc, char** argv) {
  int status;
  try {
    status = runVantleRender(argc, argv);
  } catch (const RunStop& stop) {
    status = stop.status();
  } catch (const std::bad_alloc&) {
    std::printf("ERROR: Out of memory.\n");
    status = exit_status::kFailure;
  }
  std::fflush(stdout);
  return status;
}
