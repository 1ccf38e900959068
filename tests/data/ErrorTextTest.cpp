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
        {"exception raised in a procedure",
         "exception 1 - E_EBC - La causale non ha componenti. - At procedure 'PEBC_INSMVM' line: 12, col: 5",
         "La causale non ha componenti."},
        {"raised two procedures deep",
         "exception 1 - E_EBC - Anno non inizializzato. - At procedure 'PEBC_MVMUPDTABS' line: 14, col: 5 - "
         "At procedure 'PEBC_INSMVM' line: 80, col: 3",
         "Anno non inizializzato."},
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
