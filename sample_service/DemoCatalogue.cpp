// The demo catalogue: enough albums that "专辑" spans three result pages, track lists of up to
// three pages, one paid album and one album whose track titles need cleaning as file names.
#include <array>
#include <iterator>
#include <string>

#include "SampleService.h"

namespace orvane::sample {
namespace {

struct DemoAlbum {
  const char* title;
  const char* intro;
  const char* plays;
  int tracks;
};

// Every Chinese introduction holds "专辑", so that keyword finds 21 albums.
constexpr std::array<DemoAlbum, 25> kAlbums = {{
    {"城南旧梦·胡同童年", "本专辑讲述老城胡同里的童年往事，适合睡前收听。", "12.5万", 12},
    {"夜航船上的故事", "一条夜航船，一夜一个故事。本专辑每周更新两集。", "8.7万", 45},
    {"山海异闻录", "从古籍中挑出的奇兽与远方，本专辑用白话讲给你听。", "30.2万", 20},
    {"唐诗三百首精讲", "逐首讲解，背景、字词与意境。本专辑适合中学生。", "1.1亿", 40},
    {"宋词里的四季", "春夏秋冬，各选十首。本专辑配有古琴伴奏。", "5621", 16},
    {"睡前童话一百篇", "温柔的声音陪孩子入睡，本专辑每篇约十分钟。", "", 33},
    {"江湖夜雨十年灯", "武侠广播剧，本专辑为第一季。", "96.0万", 21},
    {"小王子的星球（双语）", "中英双语朗读，本专辑附原文。The Little Prince, read in two languages.", "4.4万", 27},
    {"古琴入门十二课", "从坐姿到指法，本专辑共十二课。", "2.3万", 12},
    {"西湖民间传说", "断桥、雷峰塔与三潭印月，本专辑收录十个传说。", "7.8万", 10},
    {"科学小问号：为什么天是蓝的", "孩子的问题，科学的回答。本专辑的标题里有不少标点。", "15.0万", 6},
    {"三国演义评书版", "评书艺人的经典演绎，本专辑共四十五回。", "2.0亿", 45},
    {"红楼梦人物谈", "", "3.3万", 24},
    {"每天十分钟英语口语", "日常场景对话，本专辑适合初学者。Ten minutes of spoken English a day.", "61.7万", 30},
    {"孩子的第一本自然百科", "动物、植物与天气，本专辑图文并茂。", "9.9万", 18},
    {"雨夜电台", "深夜音乐与来信，本专辑每晚十点更新。", "1.5万", 9},
    {"成语故事大全", "一个成语一个故事，本专辑持续更新。", "44.1万", 41},
    {"茶经新读", "本专辑为付费专辑，高音质仅对会员开放。", "6802", 8},
    {"中国历史名城漫游记：从长安到临安的千年城市变迁之旅", "跟着城墙和河道走一遍千年古都，本专辑共二十二集。", "18.6万", 22},
    {"禅意音乐冥想", "呼吸、放松与专注，本专辑为纯音乐。", "27.4万", 14},
    {"京味短篇小说选读", "京味儿的短篇小说，本专辑由多位主播朗读。", "3.9万", 19},
    {"Morning Jazz Session", "Slow jazz for slow mornings: an album of standards.", "120.3万", 15},
    {"Learn Chinese in 30 Days", "A course in thirty short lessons, from greetings to shopping.", "8.1万", 30},
    {"Rain Sounds for Sleep", "Long recordings of rain on a tin roof.", "", 3},
    {"Classic Piano Pieces", "Well-loved piano works, one per track.", "2.2万", 25},
}};

// Titles that a file name cannot hold as they stand.
constexpr std::array<const char*, 6> kPunctuatedTitles = {
    "为什么天是蓝的?", "月亮/太阳: 谁更大?", "彩虹*从哪里来", "\"雷\"为什么会响", "<冰> 和 |雪|", "C:\\天气\\预报",
};

// About 1600 bytes in GBK: the longest introduction of the catalogue.
std::string LongIntro() {
  std::string intro = "本专辑从贾府的兴衰说起，逐一细读书中人物。";
  const char* const people[] = {"宝玉", "黛玉", "宝钗", "凤姐", "探春", "湘云", "妙玉", "晴雯",
                                "袭人", "平儿", "贾母", "刘姥姥", "王夫人", "迎春", "惜春", "李纨",
                                "香菱", "紫鹃", "鸳鸯", "尤三姐"};
  for (std::size_t i = 0; i < std::size(people); ++i) {
    intro += "第" + std::to_string(i + 1) + "讲说" + people[i] +
             "：从出场写起，看作者怎样用一个细节写活一个人，再对照前后文读出伏笔与照应。";
  }
  return intro;
}

}  // namespace

Catalogue SampleService::Demo() {
  Catalogue catalogue;
  catalogue.albumsPerPage = 10;
  catalogue.tracksPerPage = 20;
  for (std::size_t i = 0; i < kAlbums.size(); ++i) {
    const DemoAlbum& demo = kAlbums[i];
    Album album;
    album.id = std::to_string(200001 + i);
    album.title = demo.title;
    album.intro = demo.intro;
    if (album.intro.empty()) album.intro = LongIntro();
    album.plays = demo.plays;
    const bool ascii = i >= 21;
    const bool paid = album.title == "茶经新读";
    const bool punctuated = i == 10;
    const bool rain = album.title == "Rain Sounds for Sleep";
    for (int n = 1; n <= demo.tracks; ++n) {
      Track track;
      track.id = std::to_string(3000000 + (i + 1) * 100 + static_cast<std::size_t>(n));
      if (punctuated) {
        track.title = kPunctuatedTitles[static_cast<std::size_t>(n - 1) % kPunctuatedTitles.size()];
      } else if (ascii) {
        track.title = album.title + " - Part " + std::to_string(n);
      } else {
        track.title = "第" + std::to_string(n) + "集 " + album.title;
      }
      track.hasHighQuality = !paid;
      // A few KB to about 1 MB.
      track.audioSize = rain ? 1000000 + static_cast<std::size_t>(n) * 4096
                             : 4096 + ((i * 37 + static_cast<std::size_t>(n) * 101) % 64) * 4096;
      album.tracks.push_back(track);
    }
    catalogue.albums.push_back(album);
  }
  return catalogue;
}

}  // namespace orvane::sample
