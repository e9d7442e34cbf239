#pragma once

// Ends the run through RunStop, with the system's status for an interrupted
// program, once an interruption was recorded. Called between blocks of
// work, so a run stops within one block of Ctrl+C; whatever is then being
// written is discarded on the way out.
void stopIfInterrupted();
