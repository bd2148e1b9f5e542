// The update check started at the first showing, and panel_update.
#include "app/tmain.h"

#include <QAction>

#include "widgets/tflatpanel.h"

struct UpdateParts {
};

void UpdatePartsDeleter::operator()(UpdateParts *parts) const
{
    delete parts;
}

void Tmain::createupdatepanel()
{
}

void Tmain::startupdatecheck()
{
    if (!updatecheck->isChecked())
        return;
}
