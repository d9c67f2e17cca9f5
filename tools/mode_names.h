// The names the tool shows and accepts for the library's numbered modes.
// They come from the brace lists in vantor.h, so the tool, the bindings and
// the header cannot drift apart; a test compares every host with the header.
#ifndef VANTOR_TOOLS_MODE_NAMES_H
#define VANTOR_TOOLS_MODE_NAMES_H

#include <string>
#include <vector>

namespace vantor_tool {

// Element i is the name of mode number i.
using ModeNames = std::vector<std::string>;

const ModeNames& relationNames();     // contify --relation
const ModeNames& kernelNames();       // contify --kernel
const ModeNames& aggregationNames();  // dinorm --aggregation
const ModeNames& combinationNames();  // dinorm --combination

// How an option compares a typed name with the table: case is ignored and a
// hyphen reads as an underscore, so the spelling of earlier releases
// (first-in-second, certainty-factor) keeps working.
std::string modeKey(std::string text);

}  // namespace vantor_tool

#endif
