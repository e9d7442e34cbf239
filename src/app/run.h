#pragma once

// Carries one run from the command line to the submitted batch and
// returns the process exit status. Faults found on the way end the run by
// throwing RunStop.
int runVantleRender(int argc, char** argv);
