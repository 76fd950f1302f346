#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

#include "data/values/variant.h"

namespace kapred::cli {

// Chooses, once for the run, how results are written: as text (amounts "1.234,50", dates
// dd/mm/yyyy) or as JSON (amounts as exact decimal text with a point, "1234.50", dates ISO 8601).
// With JSON, standard error carries one JSON object too, written by finishOutput: what the run
// told there (messages, questions) is gathered for it instead of written as it comes.
void useJson(bool json);
bool usingJson();

// The error that ends the run: "Error: ..." on standard error, or the member "Error" of its object.
void tellError(const std::string& message);

// Ends the run's output and gives its exit status: standard output is flushed (a failure to write
// it all is a failure of the run, told as one), and with JSON standard error receives its object,
// {"Estado": status, "Error": ..., "Resultado": ..., "Mensajes": [...]}, when the run failed or
// told anything there.
int finishOutput(int status);

// Where a question is put to the person at the terminal, whatever standard error gathers.
std::ostream& terminalPrompt();

// A yes-or-no fact: true or false in JSON, "Sí" or "No" as text.
nlohmann::ordered_json shownYesNo(bool value);

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
// per member and a block per element of a list. JSON names are words without spaces: a name
// written as words ("Copia legible") is joined, each word but the first capitalised
// ("CopiaLegible"); the program's field names ("CodDJ", "cImporte") have none.
void print(const nlohmann::ordered_json& result);

// From here on results go to standard error (with JSON, as the member "Resultado" of its object):
// standard output carries a file the command writes.
void resultsAside();

// Tells what a command did. As text the message goes to standard error, with the other messages;
// as JSON the result goes to standard output with the message as its member "Mensaje".
void tellDone(const std::string& message, nlohmann::ordered_json result = nlohmann::ordered_json::object());

}  // namespace kapred::cli
