#include "veltrane/database/DatabaseVersion.h"

bool IsValidVersion(unsigned long version) {
    switch (version) {
    case 1:
    case 2:
    case 100:
    case 101:
    case kDatabaseVersion:
        return true;
    default:
        return false;
    }
}
