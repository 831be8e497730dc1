#include "errlog/RegisterBuildInfo.h"

#include "errlog/ErrorController.h"

void RegisterBuildInfo() {
    ErrorController& errors = ErrorController::shared();
    errors.BuildDate("30.07.2009");
    errors.BuildVersion(QUEDRIX_VERSION);
}
