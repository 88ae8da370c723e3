#include "app/module1.h"

namespace Module1 {
void Main() {}
}
