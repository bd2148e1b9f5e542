#pragma once
#include <QList>
#include <QUrl>

#include "online/turl.h"

// Records the addresses handed to the desktop instead of starting a browser;
// `accept` is what the desktop answers.
class RecordingLinks : public ballwick::LinkOpener
{
public:
    bool open(const QUrl &url) override
    {
        opened << url;
        return accept;
    }

    QList<QUrl> opened;
    bool accept = true;
};
