#include "server/uCountries.h"

#include <QFile>

#include "server/uHighscoreForm.h"

namespace tessum::server {

const std::vector<std::pair<std::string, std::string>>& GameCountries() {
    static const std::vector<std::pair<std::string, std::string>> countries = [] {
        QFile f(QStringLiteral(":/server/fNewGame.lng"));
        if (!f.open(QIODevice::ReadOnly)) return std::vector<std::pair<std::string, std::string>>{};
        return ParseCountryList(f.readAll().toStdString());
    }();
    return countries;
}

}  // namespace tessum::server
