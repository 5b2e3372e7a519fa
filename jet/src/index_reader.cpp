#include "index_reader.h"

#include <algorithm>

#include "pager.h"

namespace jet {
namespace {

// Deeper than any tree Access builds: two entries a page already reach
// every row a file can hold well before this.
constexpr std::size_t kMaxDepth = 32;

}  // namespace

IndexReader::IndexReader(Pager& pager, IndexContext context, std::uint32_t rootPage)
    : pager_(pager), context_(std::move(context)), root_(rootPage) {}

void IndexReader::rewind() {
  target_.clear();
  seeking_ = false;
  start();
}

void IndexReader::seek(std::span<const std::byte> key, bool after) {
  target_.assign(key.begin(), key.end());
  after_ = after;
  seeking_ = true;
  start();
}

bool IndexReader::reaches(const IndexPage::Entry& entry) const {
  const int c = compareKeyStart(entry.key, target_);
  return after_ ? c > 0 : c >= 0;
}

// Descends to the leaf that holds the first entry the target reaches (or
// the first entry of all), choosing at each level the first child whose
// last entry reaches it; past them all, the page's last child.
void IndexReader::start() {
  positioned_ = true;
  haveLast_ = false;
  leavesWalked_ = 1;
  std::uint32_t page = root_;
  if (page >= pager_.pageCount()) context_.corrupt(page, "lies outside the file");
  std::vector<std::uint32_t> path;
  for (;;) {
    page_.load(pager_, context_, page);
    if (page_.leaf()) break;
    path.push_back(page);
    std::uint32_t child = 0;
    for (std::size_t i = 0; i < page_.size() && child == 0; ++i) {
      const IndexPage::Entry e = page_.entry(i);
      if (!seeking_ || reaches(e)) child = e.child;
    }
    if (child == 0) child = page_.tail() != 0 ? page_.tail() : page_.size() > 0 ? page_.entry(page_.size() - 1).child : 0;
    if (child == 0) context_.corrupt(page, "is an intermediate page with no page below it");
    if (std::find(path.begin(), path.end(), child) != path.end())
      context_.corrupt(page, "points back to page " + std::to_string(child) + " above it");
    if (path.size() >= kMaxDepth) context_.corrupt(page, "lies deeper in its tree than any index goes");
    page = child;
  }
  nextEntry_ = 0;
}

bool IndexReader::next() {
  if (!positioned_) rewind();
  for (;;) {
    while (nextEntry_ < page_.size()) {
      const IndexPage::Entry e = page_.entry(nextEntry_++);
      if (seeking_ && !reaches(e)) continue;
      seeking_ = false;
      current_ = e;
      return true;
    }
    const std::uint32_t from = page_.number();
    const std::uint32_t to = page_.next();
    if (to == 0) return false;
    if (page_.size() > 0) {
      const IndexPage::Entry last = page_.entry(page_.size() - 1);
      lastKey_.assign(last.key.begin(), last.key.end());
      lastRow_ = last.row;
      haveLast_ = true;
    }
    if (++leavesWalked_ > pager_.pageCount()) context_.corrupt(from, "is on a chain of leaves that loops");
    page_.load(pager_, context_, to);
    if (!page_.leaf()) context_.corrupt(from, "links to page " + std::to_string(to) + ", which is not a leaf");
    if (haveLast_ && page_.size() > 0 && compareEntries(lastKey_, lastRow_, page_.entry(0).key, page_.entry(0).row) >= 0)
      context_.corrupt(to, "holds entries that belong before those of page " + std::to_string(from));
    nextEntry_ = 0;
  }
}

}  // namespace jet
