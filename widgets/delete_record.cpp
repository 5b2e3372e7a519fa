#include "widgets/delete_record.h"

#include "data/data_source.h"
#include "widgets/dialogs.h"

namespace tabrix {

void deleteRecord(DataSource& source) {
  Dataset* dataset = source.dataset();
  if (!dataset || !dataset->canModify() || dataset->isEmpty()) return;
  const MessageBoxContent question{QStringLiteral("Confirm"), QStringLiteral("Delete record?"), MessageIcon::Question,
                                   {MessageButton::Ok, MessageButton::Cancel}};
  if (dialogs().message(question) == MessageButton::Cancel) return;
  dataset->remove();
}

}  // namespace tabrix
