// The country list of the game's new-game dialog, built into the server.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessum::server {

// Keys (lower case) and English names, in the dialog's order.
const std::vector<std::pair<std::string, std::string>>& GameCountries();

}  // namespace tessum::server
