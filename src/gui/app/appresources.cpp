#include "appresources.h"

#include <QtGlobal>

#include <mutex>

static void registerCorvaneResources()
{
    Q_INIT_RESOURCE(corvane);
}

void initAppResources()
{
    static std::once_flag s_once;
    std::call_once(s_once, registerCorvaneResources);
}
