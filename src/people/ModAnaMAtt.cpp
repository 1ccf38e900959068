#include "ModAnaMAtt.h"

#include "kbdREdaExtra.h"
#include "AnaFAnagrafiche.h"

namespace ccp::people {

namespace {
TdmModAnaAtt *g_module = nullptr;
}

TdmModAnaAtt::TdmModAnaAtt(QSqlDatabase db, QObject *parent) : fw::TdmVeAttivazioni(parent), m_db(std::move(db))
{
    g_module = this;
    registerWindows();
    xafAnagrafiche = add(new fw::TVeAttForm(QStringLiteral("xafAnagrafiche")));
    xafAnagrafiche->caption = QStringLiteral("Anagrafiche");
    xafAnagrafiche->formClass = WindowClass;
    // One window per category: the program keeps one per caption itself.
    xafAnagrafiche->multiInstance = true;
    xafAnagrafiche->OnInitForm = [](fw::TVeAttForm &l, QWidget *form) { form->setWindowTitle(l.caption); };
}

TdmModAnaAtt::~TdmModAnaAtt()
{
    if (g_module == this)
        g_module = nullptr;
}

TdmModAnaAtt *TdmModAnaAtt::instance() { return g_module; }

void TdmModAnaAtt::requestFrames(int category, int &flags, QStringList &framesAndTitles) const
{
    if (OnRequestFrames)
        OnRequestFrames(category, flags, framesAndTitles);
}

void TdmModAnaAtt::registerWindows()
{
    TfrkbdEdeExtra::registerClass();
    auto &registry = fw::TVeFormRegistry::instance();
    if (!registry.contains(WindowClass))
        registry.registerClass(WindowClass, [](QWidget *parent) -> QWidget * {
            TdmModAnaAtt *module = TdmModAnaAtt::instance();
            if (!module)
                return nullptr;
            return new TfmAnaAnagrafiche(*module, parent);
        });
}

} // namespace ccp::people
