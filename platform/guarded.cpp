#include <exception>

#include "platform.h"

namespace platform {

void guarded(Platform& platform, void (*thunk)(void*), void* context)
{
    try {
        thunk(context);
    } catch (const std::exception& e) {
        platform.report_failure(e.what());
    } catch (...) {
        platform.report_failure("Unknown failure");
    }
}

} // namespace platform
