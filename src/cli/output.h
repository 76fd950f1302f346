#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

#include "data/values/variant.h"

namespace kapred::cli {

// Chooses, once for the run, how results are written: as text (amounts "1.234,50", dates
// dd/mm/yyyy) or as JSON (amounts as exact decimal text with a point, "1234.50", dates ISO 8601).
void useJson(bool json);
bool usingJson();

// A value as the chosen output writes it; numbers and texts as they are, Null as null.
nlohmann::ordered_json shown(const Variant& value);
nlohmann::ordered_json shown(Currency amount);

// A stored or read text as the command line prints it: each control character (see
// isControlCharacter) is written as an escape, "\n", "\r", "\t" or "\u001b", "\u202e", and each
// byte that forms no character as "\x9b", so that no text can forge lines or steer the terminal.
std::string printable(std::string_view text);
// The same for a message, whose line feeds are its own lines and stay.
std::string printableLines(std::string_view text);

// Prints a result on standard output: as JSON when chosen, else as text, one "name: value" line
// per member and a block per element of a list.
void print(const nlohmann::ordered_json& result);

// From here on results go to standard error: standard output carries a file the command writes.
void resultsAside();

// Tells what a command did. As text the message goes to standard error, with the other messages;
// as JSON the result goes to standard output with the message as its member "Mensaje".
void tellDone(const std::string& message, nlohmann::ordered_json result = nlohmann::ordered_json::object());

}  // namespace kapred::cli
