#pragma once
// The reader of Arnold scene files in text form (`.ass`): one block per
// node, `type { name NAME  param value ... }`, a parameter to a line, `#`
// starting a comment to the end of the line outside strings, strings in
// double quotes. It finds the paths that the table's nodes load (an
// image's, a volume's, a photometric light's, a procedural's `filename`,
// a procedural's `dso`, ...), each with the place of its text in the file,
// so that a copy can name each file otherwise. Output drivers, which write
// their `filename`, are none of the table's nodes.
//
// What it takes:
// - a parameter name at the start of a line directly inside a node's
//   block (the first word after the block's `{` counts as such a start),
//   matched as a whole word against the table's rows for `.ass` files;
// - its value only as a string in double quotes on the same line (every
//   writer of these files quotes strings); an unquoted value, an empty
//   string, a string not closed before its line ends and a string of more
//   than 32768 bytes name nothing;
// - braces of arrays or other blocks nested in a node only deepen the
//   block: lines inside them are no parameter lines of the node.
//
// It reads the file once, in the cursor's blocks, passing every byte to the
// copy as it is; across blocks it keeps only the state of the line it is in
// (at most one path's text), so a file of any size streams through.
//
// Compressed files (`.ass.gz`) are not read here: reading them needs a
// gzip decoder (zlib, built for both the Linux and the MinGW build) behind
// a cursor that hands out the inflated bytes; the offsets found would then
// be those of the inflated text, and the copy written compressed again.

#include <string_view>

#include "scene/scene_plan.h"

class ByteCursor;

// Reads the file through `in` into its copy, unchanged.
FilePlan readAssFile(ByteCursor& in);
// Reads a file held in memory.
FilePlan planAssFile(std::string_view file);
