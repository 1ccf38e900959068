// What the user reads of a server error.
#include "Connection.h"

#include <QSqlError>
#include <gtest/gtest.h>

using namespace ccp;

TEST(ErrorText, ProcedureExceptionsShowTheirMessageAlone)
{
    struct Row
    {
        const char *name, *server, *want;
    };
    const Row rows[] = {
        {"a dash inside the message stays", "exception 1 - E_EBC - La causale \"A - B\" esiste già. - At trigger 'T' line: 1, col: 1",
         "La causale \"A - B\" esiste già."},
        {"other server errors are left whole",
         "violation of FOREIGN KEY constraint \"FK_X\" on table \"T\" - At procedure 'P' line: 1, col: 1",
         "violation of FOREIGN KEY constraint \"FK_X\" on table \"T\" - At procedure 'P' line: 1, col: 1"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const QSqlError e(QString(), QString::fromUtf8(r.server), QSqlError::StatementError);
        EXPECT_EQ(Db::errorText(e).toStdString(), std::string(r.want));
    }
}
