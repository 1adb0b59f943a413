#include "RadioStationTable.h"

#include <QRegularExpression>

namespace embedded {
std::string_view kRadioMenuTsv();
std::string_view kRadioStreamsTsv();
} // namespace embedded

namespace RadioStationTable {

const MenuTable& table()
{
    static const MenuTable menu(MenuTable::Source{
        "radio-menu", embedded::kRadioMenuTsv(), false, "radio-streams", embedded::kRadioStreamsTsv(),
        isStationUrl, "an http, https, rtsp or mms URL with a host"});
    return menu;
}

const QString* find(const QString& key)
{
    return table().value(key);
}

bool isStationUrl(const QString& url)
{
    static const QRegularExpression form(QStringLiteral(R"(^(https?|rtsp|mms)://[^/?#:\s]+(:[0-9]+)?([/?#]\S*)?$)"));
    return form.match(url).hasMatch();
}

bool hasPackagerTable()
{
    return LUMIVO_PACKAGER_RADIO_STREAMS != 0;
}

} // namespace RadioStationTable
