#include "damage.h"

namespace jet {

Error damaged(const std::string& file, const std::string& detail) {
  return Error(ErrorKind::Corrupt,
               file + " is damaged: " + detail + ". Run tabrix-cli check on it to see all of the damage.");
}

}  // namespace jet
