#include "BatchSink.h"

namespace archive {

BatchSink::~BatchSink() = default;

} // namespace archive
