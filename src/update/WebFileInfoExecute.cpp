#include "update/WebFileInfo.h"

// The download and launch flow is being written; until then no update is retrieved.
bool TWebFileInfo::Execute()
{
    return false;
}
