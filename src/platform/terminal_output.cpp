#include "platform/terminal_output.h"

#include <langinfo.h>
#include <locale.h>
#include <strings.h>
#include <unistd.h>

namespace orbis::platform {

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

bool localeIsUtf8() {
  // A locale object of its own leaves the process's locale as it is, so
  // that nothing else in the process changes with the user's settings.
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) {
    return false;
  }
  const char* codeset = nl_langinfo_l(CODESET, locale);
  bool utf8 = codeset != nullptr &&
              (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0);
  freelocale(locale);
  return utf8;
}

}  // namespace orbis::platform
