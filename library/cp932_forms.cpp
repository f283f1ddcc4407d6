#include "library/cp932_forms.h"

namespace kibolt {

char16_t Cp932FormOf(char16_t c) {
    for (const Cp932Form& form : kCp932Forms)
        if (form.from == c) return form.to;
    return c;
}

}  // namespace kibolt
