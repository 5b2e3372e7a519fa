#pragma once

namespace tabrix {

class DataSource;

// Deletes the current row after the question "Delete record?" (a box
// captioned "Confirm" with "OK" and "Cancel"; closing it counts as
// "Cancel"), as the grid's Ctrl+Delete and the navigator's Delete do.
// Nothing is asked where no row can be deleted. The dataset's errors come
// out of here.
void deleteRecord(DataSource& source);

}  // namespace tabrix
