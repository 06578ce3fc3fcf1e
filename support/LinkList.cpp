#include "support/LinkList.h"

#include <stdexcept>

namespace hv::linklist_detail {

void ThrowNoKeyOrder() {
  throw std::logic_error("ordered insertion into a list kind without key order");
}

}  // namespace hv::linklist_detail
