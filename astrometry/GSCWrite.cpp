#include "astrometry/GSCWrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "support/Codec.h"
#include "support/Files.h"
#include "support/Format.h"

namespace hv {

std::filesystem::path GSCPathUnder(const std::filesystem::path& folder, std::string_view relative) {
  std::string rel(relative);
  for (char& c : rel)
    if (c == '\\') c = '/';
  return folder / rel;
}

namespace fs = std::filesystem;

std::vector<std::uint8_t> EncodeGSCBinFile(std::span<const CatStarRec> stars) {
  Encoder e;
  for (const CatStarRec& s : stars) {
    GSCBinRec b = GSCBinRecOf(s);
    b.Reserved = 0;
    b.Zero = 0;
    EncodeGSCBinRec(e, b);
  }
  return e.take();
}

namespace {

// WriteFileAtomic without waiting for the disc after each file (a sync per
// region can double the conversion's time; the converter syncs the whole
// tree once at the end): the rename keeps a cut file from carrying an
// output's name while the system runs. After a power cut in a run that did
// not finish, a renamed output may still be empty or cut short; the restart
// checks each output it would skip (a whole number of records, not empty
// while its region holds stars) and converts such a region again. The
// temporary name starts with "." and holds ".tmp-", like WriteFileAtomic's,
// so that the converter clears what an interrupted run left.
void ReplaceFile(const fs::path& target, std::span<const std::uint8_t> bytes) {
  static std::atomic<unsigned> counter{0};
  const fs::path temp =
      target.parent_path() / ("." + target.filename().string() + ".tmp-" +
                              std::to_string(::getpid()) + "-" + std::to_string(++counter));
  auto fail = [&](int err, const char* what) {
    throw FileError(target, IOResultFromErrno(err), std::string(what) + ": " + target.string());
  };
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) fail(errno, "cannot create");
  const std::uint8_t* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      fail(err, "cannot write");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    fail(err, "cannot write");
  }
}

}  // namespace

void WriteGSCBinFile(const fs::path& file, std::span<const CatStarRec> stars) {
  ReplaceFile(file, EncodeGSCBinFile(stars));
}

std::vector<std::uint8_t> EncodeRegionsBin(const LinkListObj<GSCRgnRec>& regions) {
  Encoder e;
  for (GSCRgnRec r : regions) {
    r.Spare = 0;
    EncodeGSCRgnRec(e, r);
  }
  return e.take();
}

void WriteRegionsBin(const fs::path& file, const LinkListObj<GSCRgnRec>& regions) {
  WriteFileAtomic(file, EncodeRegionsBin(regions));
}

void MergeGSCRows(std::span<const CatStarRec> rows, std::vector<CatStarRec>& stars) {
  stars.clear();
  stars.reserve(rows.size());
  std::size_t i = 0;
  while (i < rows.size()) {
    GSCEntryMerge merge;
    const std::string& name = rows[i].Name;
    std::size_t j = i;
    for (; j < rows.size() && rows[j].Name == name; ++j) merge.Add(rows[j]);
    stars.push_back(merge.Star());
    i = j;
  }
  // Rows come close to RA order, but a sort keeps the cost n log n whatever
  // their order. The keys are sorted, not the large records.
  std::vector<std::pair<long double, std::uint32_t>> keys(stars.size());
  for (std::size_t k = 0; k < stars.size(); ++k)
    keys[k] = {stars[k].RA, static_cast<std::uint32_t>(k)};
  if (std::is_sorted(keys.begin(), keys.end())) return;
  std::stable_sort(keys.begin(), keys.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<CatStarRec> sorted;
  sorted.reserve(stars.size());
  for (const auto& key : keys) sorted.push_back(std::move(stars[key.second]));
  stars.swap(sorted);
}

void ReadGSCRegionRows(std::span<const std::uint8_t> file, std::vector<CatStarRec>& rows) {
  rows.clear();
  if (file.size() <= GSCRawHeaderSize) return;
  rows.reserve((file.size() - GSCRawHeaderSize) / GSCRawRowSize);
  std::size_t number = 0;
  for (std::size_t at = GSCRawHeaderSize; file.size() - at >= GSCRawRowSize; at += GSCRawRowSize) {
    ++number;
    const std::string_view row(reinterpret_cast<const char*>(file.data() + at), GSCRawRowSize);
    // The filler after the last star.
    if (row.substr(0, 5).find_first_not_of(' ') == std::string_view::npos) break;
    CatStarRec star;
    try {
      GSCFieldObj::ParseGSCRow(row, star);
    } catch (const ConvertError&) {
      throw ConvertError("row " + std::to_string(number));
    }
    rows.push_back(std::move(star));
  }
}

bool GSCRegionMayHoldStars(const fs::path& input) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadWholeFile(input);
  } catch (const FileError&) {
    return true;
  }
  // As ReadGSCRegionRows: a cut first row or a blank ID ends the stars.
  if (bytes.size() < GSCRawHeaderSize + GSCRawRowSize) return false;
  const std::string_view id(reinterpret_cast<const char*>(bytes.data() + GSCRawHeaderSize), 5);
  return id.find_first_not_of(' ') != std::string_view::npos;
}

void ConvertGSCRegionFile(const fs::path& input, const fs::path& output, GSCMergeBuffers& buffers) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(input);
  ReadGSCRegionRows(bytes, buffers.rows);
  MergeGSCRows(buffers.rows, buffers.stars);
  WriteGSCBinFile(output, buffers.stars);
}

}  // namespace hv
