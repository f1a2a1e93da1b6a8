#ifndef ORV_BASE_ORVQUIETLOADINGOBSERVER_H
#define ORV_BASE_ORVQUIETLOADINGOBSERVER_H

// A loading observer that shows nothing: for loading where no bar is drawn (a reload in the
// open window, Capture, a check).

#include "base/IOrvLoadingObserver.h"

class OrvQuietLoadingObserver : public IOrvLoadingObserver {
public:
    void LoadingProgressed() override {}
};

#endif
