#pragma once
// Reads a secret from the controlling terminal with echo switched off, for
// the headless KIPRIS login. Standard input is left alone (it may carry the
// number list). nullopt when there is no terminal or it cannot be read.
#include <optional>
#include <string>

namespace orvane {

std::optional<std::string> ReadPasswordFromTerminal(const std::string& prompt);

}  // namespace orvane
