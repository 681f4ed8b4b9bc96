#include "engine/corpusfiles.h"

#include <sys/stat.h>

#include "corpus/catalogueformat.h"
#include "corpus/filelistformat.h"
#include "engine/indexformat.h"
#include "engine/variants.h"

const char* const kCorpusReplacedMessage =
    "コーパスが起動後に作り直されました。検索対象を変えるには、リーダーを起動し直して下さい。";

namespace {

CorpusFiles::Identity IdentityOf(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

}  // namespace

CorpusFiles IdentifyCorpusFiles(const std::filesystem::path& directory, std::u16string_view corpusName) {
  std::vector<std::filesystem::path> names = {
      CorpusFileName(corpusName, kFileListHeaderSuffix), CorpusFileName(corpusName, kFileListTextSuffix),
      kCatalogueFileName, kVariantFileName};
  for (const TargetInfo& target : kTargets) {
    names.emplace_back(IndexFileName(target.target, kIndexHeaderSuffix, corpusName));
    names.emplace_back(IndexFileName(target.target, kIndexPostingSuffix, corpusName));
  }
  CorpusFiles corpus;
  for (const std::filesystem::path& name : names) corpus.files.push_back(IdentityOf(directory / name));
  return corpus;
}
