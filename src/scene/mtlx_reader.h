#pragma once
// The reader of MaterialX documents (`.mtlx`), XML read by an XML parser
// (pugixml). It finds, in the order of the document:
// - the `value` of every `input` element of `type="filename"`, with the
//   file prefix in force put in front of it, as MaterialX applies it: the
//   `fileprefix` of the nearest of the input itself and the elements
//   around it, the document's root included; where the document sets none,
//   the prefix in force where an including document included it;
// - the `href` of every `xi:include`, which pulls in another document,
//   with the prefix in force there for that document's names.
// Each path comes with the bytes its value takes in the document, between
// its quotes and with its escapes as written (`wood_&lt;UDIM&gt;.png`), so
// that a copy can name the file otherwise; and the plan's fixed edits empty
// every prefix in force at what it found, so that a copy naming bare names
// leaves no prefix in force. An empty value names nothing, as does one of
// more than 32768 bytes once its prefix is put in front.
//
// Which bytes count as XML is the parser's judgement, made stricter where
// being lenient would make the plan guess: a document with a NUL byte, with
// no root element or more than one, with an attribute given twice on one
// element, or with a value the reader takes that holds an entity other
// than XML's own five or a character reference to no XML character, is not
// read. The bytes are taken as UTF-8 (with or without a byte order mark),
// whatever the declaration says, so every offset is one of the file.

#include <optional>
#include <string>
#include <string_view>

#include "scene/scene_plan.h"

// The plan of the document, or nothing when it is not well-formed XML.
// `inheritedPrefix`: the prefix in force where another document included
// this one (its FoundPath's prefixInForce).
std::optional<FilePlan> planMtlxDocument(std::string_view document, std::string_view inheritedPrefix = {});

// `name` written as an attribute's value, quoted by either quote: `&`, `<`,
// `>` and both quotes escaped by their entities, tab and line ends by
// character references (a parser would read them back as spaces).
std::string xmlAttributeText(std::string_view name);
