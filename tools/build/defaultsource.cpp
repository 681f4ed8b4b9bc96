#include "tools/build/defaultsource.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/build/jsonfile.h"
#include "tools/build/textnormalize.h"

namespace codexa::build {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Biographies = std::map<std::string, std::string>;

// Pieces per volume where the package has no volumes of its own.
constexpr size_t kPiecesPerVolume = 1000;

void AppendNotes(const json& value, std::vector<Paragraph>& out) {
  if (value.is_string()) {
    if (!value.get_ref<const std::string&>().empty()) out.push_back(NoteParagraph(value.get<std::string>()));
  } else if (value.is_array()) {
    for (const json& item : value) AppendNotes(item, out);
  }
}

// Lines of text; a line may be a nested {subchapter, paragraphs} block.
void AppendLines(const json& value, std::vector<Paragraph>& out) {
  if (value.is_string()) {
    out.push_back({SplitInlineNotes(value.get<std::string>())});
  } else if (value.is_array()) {
    for (const json& item : value) AppendLines(item, out);
  } else if (value.is_object()) {
    const std::string heading = StringAt(value, "subchapter");
    if (!heading.empty()) out.push_back(MainParagraph(heading));
    if (value.contains("paragraphs")) AppendLines(value["paragraphs"], out);
  }
}

std::string FirstString(const json& record, std::initializer_list<std::string_view> keys) {
  for (std::string_view key : keys) {
    std::string value = StringAt(record, key);
    if (!value.empty()) return value;
  }
  return {};
}

// The number in a file name such as "poet.tang.12000.json"; names with
// something after the number ("ci.song.2019y.json") sort after all others.
std::pair<bool, long> FileOrder(const fs::path& file) {
  const std::string stem = file.stem().string();
  const size_t dot = stem.rfind('.');
  const std::string part = stem.substr(dot + 1);
  size_t used = 0;
  long number = 0;
  try {
    number = std::stol(part, &used);
  } catch (const std::exception&) {
    return {true, 0};
  }
  return {used != part.size(), number};
}

class DefaultSource {
 public:
  DefaultSource(fs::path dist, CorpusBuilder& builder, Progress& progress)
      : m_strDist(std::move(dist)), m_builder(builder), m_progress(progress) {}

  void Read() {
    m_progress.Start("pages", TotalBytes());
    Classics();
    Philosophers();
    Collections();
    m_progress.Finish();
  }

 private:
  uint64_t TotalBytes() const {
    uint64_t total = 0;
    std::error_code ec;
    for (const char* folder : {"caocaoshiji", "chuci", "lunyu", "mengxue", "nalanxingde", "quantangshi", "shijing",
                               "shuimotangshi", "sishuwujing", "songci", "wudaishici", "youmengying", "yuanqu",
                               "yudingquantangshi"}) {
      for (const auto& entry : fs::recursive_directory_iterator(m_strDist / folder, ec)) {
        if (entry.is_regular_file(ec) && entry.path().extension() == ".json") total += entry.file_size(ec);
      }
    }
    return total;
  }

  json Load(const fs::path& relative) {
    const fs::path file = m_strDist / relative;
    json value = ReadJsonFile(file);
    std::error_code ec;
    m_nRead += fs::file_size(file, ec);
    m_progress.Update(m_nRead);
    return value;
  }

  std::vector<fs::path> Files(const fs::path& folder, std::string_view prefix) const {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_strDist / folder, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ".json") files.push_back(folder / name);
    }
    if (files.empty()) throw BuildError("source: no " + std::string(prefix) + "*.json in " + (m_strDist / folder).string());
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) {
                return std::pair(FileOrder(a), a.filename()) < std::pair(FileOrder(b), b.filename());
              });
    return files;
  }

  void Volume(const std::string& name) {
    m_builder.StartVolume(name);
    m_strLastAuthor.clear();
  }

  // One record of a poem-like shape, as a piece.
  void AddRecord(const json& record, const Biographies* biographies = nullptr) {
    if (!record.is_object()) return;
    PageContent piece;
    piece.title = FirstString(record, {"title", "chapter", "rhythmic"});
    const std::string subchapter = StringAt(record, "subchapter");
    if (!subchapter.empty()) piece.title += "・" + subchapter;
    std::vector<Paragraph>& out = piece.paragraphs;
    const std::string author = StringAt(record, "author");
    if (!author.empty()) out.push_back(NoteParagraph(author));
    if (!author.empty() && author != m_strLastAuthor) {
      std::string biography = StringAt(record, "biography");
      if (biography.empty() && biographies) {
        const auto it = biographies->find(author);
        if (it != biographies->end()) biography = it->second;
      }
      AppendNotes(biography, out);
    }
    m_strLastAuthor = author;
    AppendNotes(record.value("source", json()), out);
    AppendNotes(record.value("prologue", json()), out);
    for (const char* key : {"paragraphs", "content", "para"}) {
      if (record.contains(key)) AppendLines(record[key], out);
    }
    AppendNotes(record.value("notes", json()), out);
    AppendNotes(record.value("comment", json()), out);
    m_builder.AddPiece(std::move(piece));
  }

  void AddRecords(const json& records, const Biographies* biographies = nullptr) {
    if (!records.is_array()) return;
    for (const json& record : records) AddRecord(record, biographies);
  }

  // Records in volumes of their own field `key`, one volume per run of equal
  // values (`join` adds a second field to the name).
  void VolumesByField(const json& records, const char* key, const char* join = nullptr) {
    std::string current;
    bool started = false;
    for (const json& record : records) {
      std::string name = StringAt(record, key);
      if (join && !StringAt(record, join).empty()) name += "・" + StringAt(record, join);
      if (name.empty()) name = "卷一";
      if (!started || name != current) Volume(name);
      started = true;
      current = name;
      AddRecord(record);
    }
  }

  // Records cut into volumes of kPiecesPerVolume: 第一冊, 第二冊, …
  void VolumesByCount(const json& records) {
    for (size_t i = 0; i < records.size(); ++i) {
      if (i % kPiecesPerVolume == 0) Volume("第" + ChineseNumber(static_cast<int>(i / kPiecesPerVolume) + 1) + "冊");
      AddRecord(records[i]);
    }
  }

  Biographies LoadBiographies(const fs::path& file, const char* textKey) {
    Biographies biographies;
    for (const json& author : Load(file)) biographies.emplace(StringAt(author, "name"), StringAt(author, textKey));
    return biographies;
  }

  void Classics() {
    m_builder.StartCategory("經部");
    m_builder.StartWork("詩經");
    VolumesByField(Load("shijing/shijing.json"), "chapter", "section");
    m_builder.StartWork("論語");
    VolumesByField(Load("lunyu/lunyu.json"), "chapter");
    for (const auto& [work, file] : {std::pair{"大學", "daxue"}, std::pair{"中庸", "zhongyong"}}) {
      m_builder.StartWork(work);
      Volume(work);
      AddRecord(Load(fs::path("sishuwujing") / (std::string(file) + ".json")));
    }
    m_builder.StartWork("孟子");
    VolumesByField(Load("sishuwujing/mengzi.json"), "chapter");
  }

  // A primer: a flat text, a list of chapters, or a list of divisions each
  // with its chapters; its abstract and preface lead its first volume.
  void Primer(const char* work, const char* file) {
    const json root = Load(fs::path("mengxue") / file);
    m_builder.StartWork(work);
    const json& content = root.contains("content") ? root["content"] : json::array();
    const bool divided = !content.empty() && content[0].is_object() && content[0].contains("content");
    if (!divided) Volume(work);
    bool introduced = false;
    const auto introduce = [&] {
      if (introduced) return;
      introduced = true;
      PageContent abstract{"提要", {}};
      AppendNotes(root.value("abstract", json()), abstract.paragraphs);
      if (!abstract.paragraphs.empty()) m_builder.AddPiece(std::move(abstract));
      PageContent preface{"序", {}};
      AppendLines(root.value("preface", json()), preface.paragraphs);
      if (!preface.paragraphs.empty()) m_builder.AddPiece(std::move(preface));
    };
    if (root.contains("paragraphs")) {
      introduce();
      AddRecord(root);
    }
    for (const json& part : content) {
      if (divided) {
        Volume(FirstString(part, {"title", "type"}));
        introduce();
        AddRecords(part.value("content", json::array()));
      } else {
        introduce();
        AddRecord(part);
      }
    }
  }

  void Philosophers() {
    m_builder.StartCategory("子部");
    m_builder.StartWork("三字經");
    Volume("傳統本");
    AddRecord(Load("mengxue/sanzijing-traditional.json"));
    Volume("新編本");
    AddRecord(Load("mengxue/sanzijing-new.json"));
    for (const auto& [work, file] :
         {std::pair{"百家姓", "baijiaxing.json"}, {"千字文", "qianziwen.json"}, {"弟子規", "dizigui.json"},
          {"朱子家訓", "zhuzijiaxun.json"}, {"增廣賢文", "zengguangxianwen.json"}, {"幼學瓊林", "youxueqionglin.json"},
          {"聲律啓蒙", "shenglvqimeng.json"}, {"文字蒙求", "wenzimengqiu.json"}, {"千家詩", "qianjiashi.json"},
          {"唐詩三百首", "tangshisanbaishou.json"}, {"古文觀止", "guwenguanzhi.json"}}) {
      Primer(work, file);
    }
    m_builder.StartWork("幽夢影");
    Volume("幽夢影");
    const json entries = Load("youmengying/youmengying.json");
    for (size_t i = 0; i < entries.size(); ++i) {
      json entry = entries[i];
      entry["title"] = "第" + ChineseNumber(static_cast<int>(i) + 1) + "則";
      AddRecord(entry);
    }
  }

  void TangSong(const char* work, const char* prefix, const char* authors) {
    const Biographies biographies = LoadBiographies(fs::path("quantangshi") / authors, "desc");
    m_builder.StartWork(work);
    int volume = 0;
    for (const fs::path& file : Files("quantangshi", prefix)) {
      Volume("第" + ChineseNumber(++volume) + "冊");
      AddRecords(Load(file), &biographies);
    }
  }

  void Collections() {
    m_builder.StartCategory("集部");
    m_builder.StartWork("楚辭");
    VolumesByField(Load("chuci/chuci.json"), "section");
    m_builder.StartWork("曹操詩集");
    Volume("全一卷");
    AddRecords(Load("caocaoshiji/caocao.json"));

    m_builder.StartWork("御定全唐詩");
    for (int n = 1; n <= 900; ++n) {
      char name[16];
      std::snprintf(name, sizeof name, "%03d.json", n);
      const json records = Load(fs::path("yudingquantangshi/json") / name);
      const std::string title = records.empty() ? std::string() : StringAt(records[0], "volume");
      Volume(title.empty() ? "卷" + ChineseNumber(n) : title);
      AddRecords(records);
    }
    TangSong("全唐詩", "poet.tang.", "authors.tang.json");
    TangSong("全宋詩", "poet.song.", "authors.song.json");

    const Biographies ciAuthors = LoadBiographies("songci/author.song.json", "description");
    m_builder.StartWork("宋詞");
    int volume = 0;
    for (const fs::path& file : Files("songci", "ci.song.")) {
      Volume("第" + ChineseNumber(++volume) + "冊");
      AddRecords(Load(file), &ciAuthors);
    }

    m_builder.StartWork("五代詩詞");
    for (int juan = 0; juan <= 10; ++juan) {
      const std::string file = juan == 0    ? std::string("huajianji-0-preface.json")
                               : juan == 10 ? std::string("huajianji-x-juan.json")
                                            : "huajianji-" + std::to_string(juan) + "-juan.json";
      Volume(juan == 0 ? std::string("花間集序") : "花間集卷" + ChineseNumber(juan));
      AddRecords(Load(fs::path("wudaishici/huajianji") / file));
    }
    Volume("南唐二主詞");
    const json intro = Load("wudaishici/nantang/intro.json");
    PageContent introduction{StringAt(intro, "title"), {}};
    AppendLines(intro.value("desc", json()), introduction.paragraphs);
    m_builder.AddPiece(std::move(introduction));
    const Biographies twoLords = LoadBiographies("wudaishici/nantang/authors.json", "desc");
    AddRecords(Load("wudaishici/nantang/poetrys.json"), &twoLords);

    m_builder.StartWork("元曲");
    VolumesByCount(Load("yuanqu/yuanqu.json"));
    m_builder.StartWork("納蘭性德");
    Volume("全一卷");
    AddRecords(Load("nalanxingde/纳兰性德诗集.json"));
    m_builder.StartWork("水墨唐詩");
    Volume("全一卷");
    AddRecords(Load("shuimotangshi/shuimotangshi.json"));
  }

  fs::path m_strDist;
  CorpusBuilder& m_builder;
  Progress& m_progress;
  uint64_t m_nRead = 0;
  std::string m_strLastAuthor;
};

}  // namespace

void ReadDefaultSource(const fs::path& package, CorpusBuilder& builder, Progress& progress) {
  const fs::path dist = fs::is_directory(package / "dist") ? package / "dist" : package;
  if (!fs::is_directory(dist / "quantangshi")) {
    throw BuildError("source: " + package.string() + " is not the chinese-poetry package (no dist/quantangshi)");
  }
  DefaultSource(dist, builder, progress).Read();
}

}  // namespace codexa::build
