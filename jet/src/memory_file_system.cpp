#include "memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>

#include "jet/error.h"

namespace jet {
namespace {

std::string folderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

[[noreturn]] void denied(const char* what, const std::string& path) {
  throw Error(ErrorKind::Io, std::string(what) + " " + path + ": Permission denied.");
}

}  // namespace

struct MemoryFileSystem::Node {
  // A write or a resize not yet synced, kept so a power failure can undo it.
  struct Change {
    std::uint64_t offset = 0;
    std::vector<std::byte> data;
    bool resize = false;
  };
  struct Lock {
    const File* owner;
    std::uint64_t start, end;
    LockKind kind;
  };

  std::vector<std::byte> bytes;    // as a reader sees them
  std::vector<std::byte> durable;  // as of the last sync
  std::vector<Change> unsynced;
  bool readOnly = false;
  std::int64_t changes = 0;
  std::vector<Lock> locks;

  static void apply(std::vector<std::byte>& bytes, const Change& c) {
    if (c.resize) {
      bytes.resize(c.offset);
      return;
    }
    if (bytes.size() < c.offset + c.data.size()) bytes.resize(c.offset + c.data.size());
    std::copy(c.data.begin(), c.data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.offset));
  }

  // Drops an owner's locks over [start, end), keeping the parts outside.
  void release(const File* owner, std::uint64_t start, std::uint64_t end) {
    std::vector<Lock> kept;
    for (const Lock& l : locks) {
      if (l.owner != owner || l.end <= start || l.start >= end) {
        kept.push_back(l);
        continue;
      }
      if (l.start < start) kept.push_back({owner, l.start, start, l.kind});
      if (l.end > end) kept.push_back({owner, end, l.end, l.kind});
    }
    locks = std::move(kept);
  }
};

class MemoryFileSystem::Handle final : public File {
 public:
  Handle(MemoryFileSystem& files, std::shared_ptr<Node> node, std::string path, bool writable)
      : files_(files), node_(std::move(node)), path_(std::move(path)), writable_(writable),
        generation_(files.generation_) {}
  ~Handle() override { node_->release(this, 0, UINT64_MAX); }

  std::uint64_t size() const override {
    alive("read");
    return node_->bytes.size();
  }

  void read(std::uint64_t offset, std::span<std::byte> out) const override {
    alive("read");
    if (offset > node_->bytes.size() || out.size() > node_->bytes.size() - offset)
      throw Error(ErrorKind::Io, "Cannot read " + path_ + ": it became shorter while it was read.");
    if (!out.empty()) std::memcpy(out.data(), node_->bytes.data() + offset, out.size());
  }

  bool writable() const override { return writable_; }

  void write(std::uint64_t offset, std::span<const std::byte> data) override {
    change("write");
    if (files_.failsWrite()) throw Error(ErrorKind::Io, "Cannot write " + path_ + ": Input/output error.");
    record({offset, std::vector<std::byte>(data.begin(), data.end()), false});
  }

  void sync() override {
    change("save");
    if (files_.failsSync()) throw Error(ErrorKind::Io, "Cannot save " + path_ + ": Input/output error.");
    node_->durable = node_->bytes;
    node_->unsynced.clear();
  }

  void resize(std::uint64_t size) override {
    change("resize");
    record({size, {}, true});
  }

  bool tryLock(std::uint64_t offset, std::uint64_t length, LockKind kind) override {
    alive("lock");
    const std::uint64_t end = length == 0 ? UINT64_MAX : offset + length;
    for (const Node::Lock& l : node_->locks)
      if (l.owner != this && l.start < end && offset < l.end &&
          (kind == LockKind::Exclusive || l.kind == LockKind::Exclusive))
        return false;
    node_->release(this, offset, end);
    node_->locks.push_back({this, offset, end, kind});
    return true;
  }

  void unlock(std::uint64_t offset, std::uint64_t length) override {
    node_->release(this, offset, length == 0 ? UINT64_MAX : offset + length);
  }

  FileStamp stamp() const override {
    alive("read");
    return {node_->bytes.size(), node_->changes, true};
  }

  bool stillAt(const std::string& path) const override {
    auto found = files_.names_.find(path);
    return found != files_.names_.end() && found->second == node_;
  }

 private:
  void alive(const char* what) const {
    if (generation_ != files_.generation_ || files_.powerCut_)
      throw Error(ErrorKind::Io, std::string("Cannot ") + what + " " + path_ + ": the power failed.");
  }

  void change(const char* what) {
    alive(what);
    if (!writable_) throw Error(ErrorKind::ReadOnly, "Cannot write " + path_ + ": it was opened for reading only.");
    files_.step(what, path_);
  }

  void record(Node::Change c) {
    Node::apply(node_->bytes, c);
    node_->unsynced.push_back(std::move(c));
    ++node_->changes;
  }

  MemoryFileSystem& files_;
  std::shared_ptr<Node> node_;
  std::string path_;
  bool writable_;
  std::uint64_t generation_;
};

MemoryFileSystem::MemoryFileSystem() = default;
MemoryFileSystem::~MemoryFileSystem() = default;

void MemoryFileSystem::add(const std::string& path, std::vector<std::byte> bytes) {
  auto node = std::make_shared<Node>();
  node->bytes = bytes;
  node->durable = std::move(bytes);
  names_[path] = node;
  durable_[path] = node;
}

std::vector<std::byte> MemoryFileSystem::bytes(const std::string& path) const {
  auto found = names_.find(path);
  if (found == names_.end()) throw Error(ErrorKind::Io, "Cannot open " + path + ": No such file or directory.");
  return found->second->bytes;
}

void MemoryFileSystem::setReadOnly(const std::string& path, bool readOnly) {
  auto found = names_.find(path);
  if (found == names_.end()) throw Error(ErrorKind::Io, "Cannot open " + path + ": No such file or directory.");
  found->second->readOnly = readOnly;
}

void MemoryFileSystem::setFolderReadOnly(const std::string& folder, bool readOnly) {
  std::erase(readOnlyFolders_, folder);
  if (readOnly) readOnlyFolders_.push_back(folder);
}

bool MemoryFileSystem::folderReadOnly(const std::string& path) const {
  return std::ranges::find(readOnlyFolders_, folderOf(path)) != readOnlyFolders_.end();
}

void MemoryFileSystem::failWrite(std::uint64_t n) { failingWrite_ = writes_ + n; }
void MemoryFileSystem::failSync(std::uint64_t n) { failingSync_ = syncs_ + n; }
void MemoryFileSystem::cutPower(std::uint64_t n) { powerFailure_ = steps_ + n; }

bool MemoryFileSystem::failsWrite() { return ++writes_ == failingWrite_; }
bool MemoryFileSystem::failsSync() { return ++syncs_ == failingSync_; }

void MemoryFileSystem::step(const std::string& what, const std::string& path) {
  if (!powerCut_ && ++steps_ == powerFailure_) powerCut_ = true;
  if (powerCut_) throw Error(ErrorKind::Io, "Cannot " + what + " " + path + ": the power failed.");
}

void MemoryFileSystem::restorePower(Loss loss, unsigned seed) {
  std::mt19937 random(seed);
  names_ = durable_;
  std::set<Node*> seen;
  for (auto& [path, node] : names_) {
    if (!seen.insert(node.get()).second) continue;
    std::vector<std::byte> bytes = node->durable;
    if (loss == Loss::Garble) {
      for (Node::Change c : node->unsynced) {
        const unsigned fate = random() % 3;  // kept, dropped or garbled
        if (fate == 1) continue;
        if (fate == 2)
          for (std::byte& b : c.data) b = static_cast<std::byte>(random());
        Node::apply(bytes, c);
      }
    }
    node->bytes = bytes;
    node->durable = std::move(bytes);
    node->unsynced.clear();
    node->locks.clear();
    ++node->changes;
  }
  powerCut_ = false;
  powerFailure_ = failingWrite_ = failingSync_ = 0;
  ++generation_;
}

std::unique_ptr<File> MemoryFileSystem::open(const std::string& path, OpenMode mode) {
  auto found = names_.find(path);
  const bool creating = mode == OpenMode::Create || mode == OpenMode::CreateEmpty;
  if (powerCut_) throw Error(ErrorKind::Io, "Cannot open " + path + ": the power failed.");
  if (found == names_.end()) {
    if (!creating) throw Error(ErrorKind::Io, "Cannot open " + path + ": No such file or directory.");
    if (folderReadOnly(path)) denied("Cannot create", path);
    step("create", path);
    found = names_.emplace(path, std::make_shared<Node>()).first;
  } else if (mode != OpenMode::Read && found->second->readOnly) {
    denied("Cannot open", path);
  }
  auto handle = std::make_unique<Handle>(*this, found->second, path, mode != OpenMode::Read);
  if (mode == OpenMode::CreateEmpty && !found->second->bytes.empty()) handle->resize(0);
  return handle;
}

bool MemoryFileSystem::exists(const std::string& path) {
  if (powerCut_) throw Error(ErrorKind::Io, "Cannot open " + path + ": the power failed.");
  return names_.contains(path);
}

void MemoryFileSystem::remove(const std::string& path) {
  if (!names_.contains(path)) return;
  if (folderReadOnly(path)) denied("Cannot remove", path);
  step("remove", path);
  names_.erase(path);
}

void MemoryFileSystem::syncFolderOf(const std::string& path) {
  const std::string folder = folderOf(path);
  step("save the folder of", path);
  std::erase_if(durable_, [&](const auto& entry) { return folderOf(entry.first) == folder; });
  for (const auto& [name, node] : names_)
    if (folderOf(name) == folder) durable_[name] = node;
}

}  // namespace jet
