#ifndef DEVTABHELPER_H
#define DEVTABHELPER_H

class CDevManageForm;

namespace DevTabHelper {

// Waits until the tab lists iExpected devices, then logs every one of them in
// through the login dialog; records a test failure when that does not happen.
// Callers check QTest::currentTestFailed().
void logInEveryListed(CDevManageForm *pForm, int iExpected);

} // namespace DevTabHelper

#endif // DEVTABHELPER_H
