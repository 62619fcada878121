#include "devtabhelper.h"

#include "dev_manageform.h"
#include "dialoghelper.h"
#include "encodedevmodelex.h"

#include <QtTest>

namespace DevTabHelper {

void logInEveryListed(CDevManageForm *pForm, int iExpected)
{
    QTRY_COMPARE_WITH_TIMEOUT(pForm->deviceList().size(), iExpected, 10000);
    QList<int> &listChecked = pForm->devModel()->checkedList();
    listChecked.clear();
    for (const CUIDeviceBean &oDev : pForm->deviceList())
        listChecked.append(oDev.m_lDevId);
    auto pLogin = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    QCOMPARE(pForm->devLogin(CDevManageForm::EventNone), 0ul);
    QVERIFY(pLogin->done);
    for (const CUIDeviceBean &oDev : pForm->deviceList())
        QTRY_COMPARE_WITH_TIMEOUT(long(oDev.m_lStatus), long(DevStatusLogged), 15000);
    QTRY_VERIFY(DialogHelper::noModal());
}

} // namespace DevTabHelper
