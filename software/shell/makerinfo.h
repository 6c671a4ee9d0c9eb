#ifndef MAKERINFO_H
#define MAKERINFO_H

#include <QCoreApplication>
#include <QString>

// The maker's names and addresses, shown in the About dialog and behind the
// shop links. The example addresses are reserved and reach nobody; replace
// them here for a real distribution.
namespace MakerInfo {

inline QString companyRights()
{
    return QCoreApplication::translate("MakerInfo", "泰萨沃智能科技工作室 保留所有权利");
}

inline QString latinRights()
{
    return QStringLiteral("Copyright 2013 Tessavo");
}

inline QString supportEmail()
{
    return QStringLiteral("ts@example.com");
}

inline QString shopUrl()
{
    return QStringLiteral("https://shop.tessavo.example/");
}

} // namespace MakerInfo

#endif // MAKERINFO_H
