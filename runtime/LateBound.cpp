#include "LateBound.h"

namespace runtime {

void putProperty(Dispatch& object, DispId id, const VARIANT& value) {
    checkStatus(object.putProperty(id, value));
}

VARIANT getProperty(Dispatch& object, DispId id) {
    VARIANT result;
    checkStatus(object.getProperty(id, result));
    return result;
}

VARIANT callMethod(Dispatch& object, DispId id) {
    VARIANT result;
    checkStatus(object.callMethod(id, result));
    return result;
}

} // namespace runtime
