#include "shell/graphics/palettes.h"

#include <cmath>

namespace kesto::shell {
namespace {

struct Anchor {
  int entry;
  int red, green, blue;
};

// Fills entries first.entry..last.entry of each segment between consecutive
// anchors by even (linear) interpolation, each channel rounded half up:
// value = (a x (n - t) + b x t + n / 2) / n for entry first + t of a segment n long.
template <std::size_t N>
void fill_ramp(LogicalPalette& p, const Anchor (&anchors)[N]) {
  for (std::size_t s = 0; s + 1 < N; ++s) {
    const Anchor& a = anchors[s];
    const Anchor& b = anchors[s + 1];
    const int n = b.entry - a.entry;
    for (int t = 0; t <= n; ++t) {
      auto mix = [&](int u, int v) { return static_cast<std::uint8_t>((u * (n - t) + v * t + n / 2) / n); };
      p.entries[static_cast<std::size_t>(a.entry + t)] = {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue),
                                                          0};
    }
  }
}

// Entries 0-15: the standard colours, with `full` for 255 and `half` for 127.
void fill_standard(LogicalPalette& p, int full, int half) {
  for (int i = 0; i < 16; ++i) {
    const Rgb c = standard_colour(i);
    auto level = [&](std::uint8_t v) { return static_cast<std::uint8_t>(v == 255 ? full : v == 127 ? half : 0); };
    p.entries[static_cast<std::size_t>(i)] = {level(c.red), level(c.green), level(c.blue), 0};
  }
}

// Palette 1 (6-bit steps, 236 entries): 0-15 the standard colours; 16-231 a
// 6 x 6 x 6 colour cube with levels 0, 13, 25, 38, 50, 63, red slowest and
// blue fastest (entry 16 + 36 r + 6 g + b). Entries 232-235 are counted but
// hold nothing: they stay black.
LogicalPalette make_palette_1() {
  LogicalPalette p;
  p.count = 236;
  fill_standard(p, 63, 31);
  constexpr int levels[6] = {0, 13, 25, 38, 50, 63};
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p.entries[static_cast<std::size_t>(16 + 36 * r + 6 * g + b)] = {static_cast<std::uint8_t>(levels[r]),
                                                                        static_cast<std::uint8_t>(levels[g]),
                                                                        static_cast<std::uint8_t>(levels[b]), 0};
  return p;
}

// Palette 2 (6-bit steps, 224 entries): 0-15 the standard colours; 16-31 a
// grey ramp 0 to 63 (entry 16 + i = (63 i + 7) / 15: 0, 4, 8, 13, 17, 21, 25,
// 29, 34, 38, 42, 46, 50, 55, 59, 63); 32-42 mid grey 31; 43-223 the hue
// circle. Its anchors are red at 43 and blue at 103, then cyan, green, yellow
// and red again at 223, with magenta between red and blue; the unnamed
// anchors sit evenly, 30 entries apart:
//   43 red (63,0,0), 73 magenta (63,0,63), 103 blue (0,0,63), 133 cyan (0,63,63),
//   163 green (0,63,0), 193 yellow (63,63,0), 223 red (63,0,0).
// The resulting entries 43-223 (red, green, blue):
//    43:63,0,0     44:63,0,2     45:63,0,4     46:63,0,6     47:63,0,8     48:63,0,11    49:63,0,13    50:63,0,15
//    51:63,0,17    52:63,0,19    53:63,0,21    54:63,0,23    55:63,0,25    56:63,0,27    57:63,0,29    58:63,0,32
//    59:63,0,34    60:63,0,36    61:63,0,38    62:63,0,40    63:63,0,42    64:63,0,44    65:63,0,46    66:63,0,48
//    67:63,0,50    68:63,0,53    69:63,0,55    70:63,0,57    71:63,0,59    72:63,0,61    73:63,0,63    74:61,0,63
//    75:59,0,63    76:57,0,63    77:55,0,63    78:53,0,63    79:50,0,63    80:48,0,63    81:46,0,63    82:44,0,63
//    83:42,0,63    84:40,0,63    85:38,0,63    86:36,0,63    87:34,0,63    88:32,0,63    89:29,0,63    90:27,0,63
//    91:25,0,63    92:23,0,63    93:21,0,63    94:19,0,63    95:17,0,63    96:15,0,63    97:13,0,63    98:11,0,63
//    99:8,0,63    100:6,0,63    101:4,0,63    102:2,0,63    103:0,0,63    104:0,2,63    105:0,4,63    106:0,6,63
//   107:0,8,63    108:0,11,63   109:0,13,63   110:0,15,63   111:0,17,63   112:0,19,63   113:0,21,63   114:0,23,63
//   115:0,25,63   116:0,27,63   117:0,29,63   118:0,32,63   119:0,34,63   120:0,36,63   121:0,38,63   122:0,40,63
//   123:0,42,63   124:0,44,63   125:0,46,63   126:0,48,63   127:0,50,63   128:0,53,63   129:0,55,63   130:0,57,63
//   131:0,59,63   132:0,61,63   133:0,63,63   134:0,63,61   135:0,63,59   136:0,63,57   137:0,63,55   138:0,63,53
//   139:0,63,50   140:0,63,48   141:0,63,46   142:0,63,44   143:0,63,42   144:0,63,40   145:0,63,38   146:0,63,36
//   147:0,63,34   148:0,63,32   149:0,63,29   150:0,63,27   151:0,63,25   152:0,63,23   153:0,63,21   154:0,63,19
//   155:0,63,17   156:0,63,15   157:0,63,13   158:0,63,11   159:0,63,8    160:0,63,6    161:0,63,4    162:0,63,2
//   163:0,63,0    164:2,63,0    165:4,63,0    166:6,63,0    167:8,63,0    168:11,63,0   169:13,63,0   170:15,63,0
//   171:17,63,0   172:19,63,0   173:21,63,0   174:23,63,0   175:25,63,0   176:27,63,0   177:29,63,0   178:32,63,0
//   179:34,63,0   180:36,63,0   181:38,63,0   182:40,63,0   183:42,63,0   184:44,63,0   185:46,63,0   186:48,63,0
//   187:50,63,0   188:53,63,0   189:55,63,0   190:57,63,0   191:59,63,0   192:61,63,0   193:63,63,0   194:63,61,0
//   195:63,59,0   196:63,57,0   197:63,55,0   198:63,53,0   199:63,50,0   200:63,48,0   201:63,46,0   202:63,44,0
//   203:63,42,0   204:63,40,0   205:63,38,0   206:63,36,0   207:63,34,0   208:63,32,0   209:63,29,0   210:63,27,0
//   211:63,25,0   212:63,23,0   213:63,21,0   214:63,19,0   215:63,17,0   216:63,15,0   217:63,13,0   218:63,11,0
//   219:63,8,0    220:63,6,0    221:63,4,0    222:63,2,0    223:63,0,0
LogicalPalette make_palette_2() {
  LogicalPalette p;
  p.count = 224;
  fill_standard(p, 63, 31);
  for (int i = 0; i < 16; ++i) {
    const auto v = static_cast<std::uint8_t>((63 * i + 7) / 15);
    p.entries[static_cast<std::size_t>(16 + i)] = {v, v, v, 0};
  }
  for (int e = 32; e <= 42; ++e) p.entries[static_cast<std::size_t>(e)] = {31, 31, 31, 0};
  constexpr Anchor hue[] = {{43, 63, 0, 0},  {73, 63, 0, 63},  {103, 0, 0, 63}, {133, 0, 63, 63},
                            {163, 0, 63, 0}, {193, 63, 63, 0}, {223, 63, 0, 0}};
  fill_ramp(p, hue);
  return p;
}

// Palette 3 (8-bit steps, 225 entries): 0-15 the standard colours; 16-31
// greys 0, 17, 34 ... 255; 32 black; 33-224 the thermal ramp. It rises from
// the black of entry 32 (so entry 33 is near black) to purple at 100, then to
// red, placed midway between 100 and the end, and to yellow at 224:
//   32 black (0,0,0), 100 purple (90,0,85), 162 red (255,0,0), 224 yellow (255,255,0).
// The resulting entries 33-224 (red, green, blue):
//    33:1,0,1        34:3,0,3        35:4,0,4        36:5,0,5        37:7,0,6        38:8,0,8        39:9,0,9
//    40:11,0,10      41:12,0,11      42:13,0,13      43:15,0,14      44:16,0,15      45:17,0,16      46:19,0,18
//    47:20,0,19      48:21,0,20      49:23,0,21      50:24,0,23      51:25,0,24      52:26,0,25      53:28,0,26
//    54:29,0,28      55:30,0,29      56:32,0,30      57:33,0,31      58:34,0,33      59:36,0,34      60:37,0,35
//    61:38,0,36      62:40,0,38      63:41,0,39      64:42,0,40      65:44,0,41      66:45,0,43      67:46,0,44
//    68:48,0,45      69:49,0,46      70:50,0,48      71:52,0,49      72:53,0,50      73:54,0,51      74:56,0,53
//    75:57,0,54      76:58,0,55      77:60,0,56      78:61,0,58      79:62,0,59      80:64,0,60      81:65,0,61
//    82:66,0,63      83:68,0,64      84:69,0,65      85:70,0,66      86:71,0,68      87:73,0,69      88:74,0,70
//    89:75,0,71      90:77,0,73      91:78,0,74      92:79,0,75      93:81,0,76      94:82,0,78      95:83,0,79
//    96:85,0,80      97:86,0,81      98:87,0,83      99:89,0,84     100:90,0,85     101:93,0,84     102:95,0,82
//   103:98,0,81     104:101,0,80    105:103,0,78    106:106,0,77    107:109,0,75    108:111,0,74    109:114,0,73
//   110:117,0,71    111:119,0,70    112:122,0,69    113:125,0,67    114:127,0,66    115:130,0,64    116:133,0,63
//   117:135,0,62    118:138,0,60    119:141,0,59    120:143,0,58    121:146,0,56    122:149,0,55    123:151,0,53
//   124:154,0,52    125:157,0,51    126:159,0,49    127:162,0,48    128:165,0,47    129:167,0,45    130:170,0,44
//   131:173,0,43    132:175,0,41    133:178,0,40    134:180,0,38    135:183,0,37    136:186,0,36    137:188,0,34
//   138:191,0,33    139:194,0,32    140:196,0,30    141:199,0,29    142:202,0,27    143:204,0,26    144:207,0,25
//   145:210,0,23    146:212,0,22    147:215,0,21    148:218,0,19    149:220,0,18    150:223,0,16    151:226,0,15
//   152:228,0,14    153:231,0,12    154:234,0,11    155:236,0,10    156:239,0,8     157:242,0,7     158:244,0,5
//   159:247,0,4     160:250,0,3     161:252,0,1     162:255,0,0     163:255,4,0     164:255,8,0     165:255,12,0
//   166:255,16,0    167:255,21,0    168:255,25,0    169:255,29,0    170:255,33,0    171:255,37,0    172:255,41,0
//   173:255,45,0    174:255,49,0    175:255,53,0    176:255,58,0    177:255,62,0    178:255,66,0    179:255,70,0
//   180:255,74,0    181:255,78,0    182:255,82,0    183:255,86,0    184:255,90,0    185:255,95,0    186:255,99,0
//   187:255,103,0   188:255,107,0   189:255,111,0   190:255,115,0   191:255,119,0   192:255,123,0   193:255,128,0
//   194:255,132,0   195:255,136,0   196:255,140,0   197:255,144,0   198:255,148,0   199:255,152,0   200:255,156,0
//   201:255,160,0   202:255,165,0   203:255,169,0   204:255,173,0   205:255,177,0   206:255,181,0   207:255,185,0
//   208:255,189,0   209:255,193,0   210:255,197,0   211:255,202,0   212:255,206,0   213:255,210,0   214:255,214,0
//   215:255,218,0   216:255,222,0   217:255,226,0   218:255,230,0   219:255,234,0   220:255,239,0   221:255,243,0
//   222:255,247,0   223:255,251,0   224:255,255,0
LogicalPalette make_palette_3() {
  LogicalPalette p;
  p.count = 225;
  fill_standard(p, 255, 127);
  for (int i = 0; i < 16; ++i) {
    const auto v = static_cast<std::uint8_t>(17 * i);
    p.entries[static_cast<std::size_t>(16 + i)] = {v, v, v, 0};
  }
  constexpr Anchor thermal[] = {{32, 0, 0, 0}, {100, 90, 0, 85}, {162, 255, 0, 0}, {224, 255, 255, 0}};
  fill_ramp(p, thermal);
  return p;
}

// trunc(product) clamped to 0..high; NaN gives 0. The product is formed in
// double precision, so a fraction held as a 32-bit real just below a step
// (0.7 is 0.69999999 as a float) stays below it.
int clamped_step(double product, int high) {
  if (!(product > 0.0)) return 0;
  if (product >= high) return high;
  return static_cast<int>(product);
}

}  // namespace

Rgb LogicalPalette::colour(int entry) const {
  const PaletteEntry& e = entries[static_cast<std::size_t>(entry >= 0 && entry < 256 ? entry : 0)];
  return {e.red, e.green, e.blue};
}

Palettes::Palettes() : logical{make_palette_1(), make_palette_2(), make_palette_3()} {}

Palettes& palettes() {
  static Palettes p;
  return p;
}

void scale_palettes() {
  Palettes& p = palettes();
  if (p.scaled) return;
  p.scaled = true;
  for (int k = 0; k < 2; ++k)
    for (PaletteEntry& e : p.logical[static_cast<std::size_t>(k)].entries) {
      e.red = static_cast<std::uint8_t>(e.red * 4);
      e.green = static_cast<std::uint8_t>(e.green * 4);
      e.blue = static_cast<std::uint8_t>(e.blue * 4);
      e.flags = static_cast<std::uint8_t>(e.flags * 4);
    }
}

int logical_palette_for(int palette_number) {
  if (palette_number >= 1 && palette_number <= 3) return 1;
  if (palette_number == 4 || palette_number == 5) return 2;
  if (palette_number == 6) return 3;
  return 0;
}

const LogicalPalette& logical_palette(int k) {
  return palettes().logical[static_cast<std::size_t>(k >= 1 && k <= 3 ? k - 1 : 0)];
}

ScaleColour bipolar_scale(float v) {
  const double shifted = static_cast<double>(v) + 1.0;
  return {43 + clamped_step(shifted * 90.0, 180), clamped_step(shifted * 128.0, 255)};
}

ScaleColour unipolar_scale(float v) {
  return {103 + clamped_step(static_cast<double>(v) * 120.0, 120), clamped_step(static_cast<double>(v) * 256.0, 255)};
}

ScaleColour thermal_scale(float v) {
  return {clamped_step(static_cast<double>(v) * 193.0, 192), clamped_step(static_cast<double>(v) * 256.0, 255)};
}

int fraction_byte(float v) { return clamped_step(static_cast<double>(v) * 256.0, 255); }

}  // namespace kesto::shell
