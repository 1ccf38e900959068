#pragma once
#include "Result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantMap>
#include <optional>

namespace ccp::people {

// Person categories of the suite's registry (TCag_AnaCateg).
namespace Category {
inline constexpr int Pupils = 1;
inline constexpr int Parents = 2;
inline constexpr int Staff = 3;
inline constexpr int Beneficiaries = 4;
inline constexpr int AdultLearners = 6;
} // namespace Category

// The caption of a category's list ("Alunni").
QString categoryTitle(int category);

// The list of the people of one category, leaving out those who also belong to a hidden
// category; a ##WHERE## slot takes the search condition.
QString peopleSelect(int category, const QList<int> &hidden);
// The condition on surname and name for typed text (bound, wildcards escaped).
struct PeopleSearch
{
    QString sql;
    QVariantMap params;
};
PeopleSearch searchByName(const QString &text);

// The detail page of one person.
struct PersonDetail
{
    int anaId = 0;
    QString surname;
    QString name;
    QString fiscalCode;
    QDate birthDate;
    QString sex;
    QString birthPlace;
    QString code;           // sAnaCagCode of the category
    QString role;           // staff: teacher, administrative, ...
};
Result<std::optional<PersonDetail>> loadPerson(QSqlDatabase db, int anaId, int category);

// The detail lists the registry shows in extra tabs, by frame class name; empty when the
// frame is unknown. Each select takes :iAnaId.
struct DetailList
{
    QString select;
    QStringList fields;
    QStringList captions;
};
std::optional<DetailList> detailList(const QString &frameClass);

} // namespace ccp::people
