// What a movie may cost. A movie is a file from a stranger: past any of
// these the object is left out, or the movie stops, with one warning, and
// the clock keeps ticking. Each limit sits far above what a clock face of
// the Flash 5-8 era needs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dc::swf {

struct Limits {
  // The file as stored and as uncompressed: a face is a few hundred KB.
  std::uint64_t maxFileBytes = 64ull << 20;
  std::uint64_t maxUncompressedBytes = 128ull << 20;
  // Frames of one timeline: ten minutes at 24 frames a second.
  std::uint32_t maxFrames = 16000;
  // Sprites inside sprites at run time; a sprite that holds itself would
  // otherwise nest without end.
  std::uint32_t maxSpriteNesting = 64;
  // Objects on all display lists together.
  std::uint32_t maxDisplayObjects = 20000;
  // Edges of one shape (curves count once).
  std::uint32_t maxEdgesPerShape = 100000;
  // Decoded bitmap pixels of the whole movie: 4 M pixels are 16 MB, two
  // full screens of 1920 by 1080, where a face is a few hundred pixels
  // square. Bitmaps are decoded as the movie is read, on the clock's
  // thread, and a JPEG, PNG or GIF is decoded in one call that cannot stop
  // part way: this limit is what bounds that pause (some tens of ms).
  std::uint64_t maxBitmapPixels = 4ull << 20;
  // Glyphs of one font, records and glyphs of one text.
  std::uint32_t maxGlyphs = 65536;
  // Memory the read movie's shapes, fonts, texts and frame lists take
  // together: a few bits of the file can become an edge or a glyph of
  // dozens of bytes, so the file's size alone does not bound them.
  std::uint64_t maxDefinitionBytes = 256ull << 20;
  // Drawing one frame may touch the surface this many times over (layers,
  // masks, strokes); past it the frame is left as drawn so far.
  std::uint32_t maxLayersPerFrame = 256;
  // Drawing one frame's work, whatever the face's size: pixels painted,
  // edges drawn and glyphs laid out, each at its cost in plain pixels
  // (raster_limits::kDrawWork...). About 60 ms of drawing, 80 ms with a
  // frame's scripts at their budget (hostile_bench); a busy face spends a
  // fiftieth of it. Past it the face keeps its last finished picture, and
  // the frame counts as one over budget (as scripts' do).
  std::uint64_t maxDrawWorkPerFrame = 16'000'000;
  // Edges of all script drawings together, copies made by
  // duplicateMovieClip included: each is kept and drawn every frame, and
  // one drawing may be copied onto thousands of clips.
  std::uint64_t maxDrawnEdges = 1'000'000;
  // Edges of shape tweens' in-between shapes kept from frame to frame, all
  // placements together (each at its own ratio keeps a shape of its own):
  // past it a tween is made again each time it is drawn, and charged each
  // time (raster_limits::kDrawWorkPerTweenEdge).
  std::uint64_t maxKeptTweenEdges = 1'000'000;
};

inline constexpr Limits kDefaultLimits{};

// What a movie's scripts may cost. Past a limit the frame's scripts stop
// (the face keeps what it drew) with one warning naming the limit.
struct ScriptLimits {
  // Work of one frame's scripts, counted in actions; a native's work on
  // data (characters, elements, children, properties) is charged too, so
  // that no frame holds the clock's thread much past 50 ms.
  std::uint64_t actionsPerFrame = 1'000'000;
  // Script calls nested inside each other (natives calling back count).
  int maxCallDepth = 256;
  // Objects, strings and arrays the scripts hold, charged before taken.
  std::uint64_t maxMemoryBytes = 64ull << 20;
  // Scripts stop for good after this many frames that went past a limit
  // among the last `stopWindowFrames`: a loop that overruns only every
  // other frame is stopped as surely as one that overruns every frame.
  int framesOverBudgetBeforeStop = 10;
  int stopWindowFrames = 30;
  // Operand stack entries one frame's scripts may hold at once.
  std::size_t maxStack = std::size_t{1} << 20;
  // with and try ranges nested inside each other, on top of the call depth.
  int maxNesting = 256;
  // Steps up a prototype chain: a longer one is taken for a loop.
  int maxProtoHops = 256;
  // Calls of one property's getter, setter and watcher under way at once
  // (one more than Flash's 64 levels of a getter reading itself): past it
  // a get reads the property's own value and a set writes it, no script
  // called, so that an accessor's recursion ends without the call depth.
  int maxAccessorNesting = 65;
  // Runs of one interval in a frame when it is behind the timer (a 0 ms
  // interval always is): past them it waits for the next frame.
  int maxIntervalRunsAFrame = 64;
  // Objects nested inside each other in AMF data (a SharedObject's, a
  // LocalConnection's message): deeper ones are written as undefined, and
  // read as damage, so neither way recurses without end.
  int maxAmfNesting = 64;
  // Bytes of one LocalConnection message, as in Flash.
  std::size_t maxMessageBytes = 40 * 1024;
  // LocalConnections a movie holds open, and SharedObject stores it opens:
  // a face has one or two; each name is kept until the movie ends.
  std::size_t maxConnections = 1024;
  std::size_t maxSharedObjects = 256;
  // Bytes SharedObject.getSize counts before it gives up (the data is
  // written out to be counted).
  std::size_t maxSharedObjectBytes = std::size_t{16} << 20;
};

inline constexpr ScriptLimits kDefaultScriptLimits{};

// What work the display side does for scripts costs, in actions of the
// frame's budget (ScriptLimits::actionsPerFrame): an action is some tens of
// nanoseconds, while making and placing a clip, or taking one away, takes
// some microseconds; so a frame that makes ten thousand clips stops as an
// endless loop does.
inline constexpr std::uint64_t kWorkPerObjectMade = 256;
inline constexpr std::uint64_t kWorkPerObjectGone = 64;
// Each object whose box a clip's bounds take in (getBounds, _width, a
// hit test against boxes), in actions.
inline constexpr std::uint64_t kWorkPerObjectMeasured = 1;
// Each edge a duplicateMovieClip copies, and each string a native makes
// in a loop of its own (split), in actions.
inline constexpr std::uint64_t kWorkPerEdgeCopied = 1;
inline constexpr std::uint64_t kWorkPerCellMade = 2;
// A jump on a timeline costs an action a tag it replays, and an action for
// this many frames it walks past, tags or none (a clip of 16,000 empty
// frames jumped end to end without end took seconds a frame uncharged).
inline constexpr std::uint64_t kFramesWalkedPerAction = 8;
// Each step a look-up takes up a prototype chain (a missing name read on
// a chain of 250 costs 250 of them).
inline constexpr std::uint64_t kWorkPerProtoHop = 1;
// Each property a script adds to an object (made, hashed, its table grown
// in turn).
inline constexpr std::uint64_t kWorkPerPropertyAdded = 8;
// Each property a for-in lists: its name compared with those nearer, kept
// and made a string for the loop, and the string collected after (as
// measured, about a microsecond a name).
inline constexpr std::uint64_t kWorkPerPropertyListed = 32;

// Bytes a script drawing's or a kept tween's edge takes (three points and
// its kind, with the path's share).
inline constexpr std::uint64_t kDrawnEdgeBytes = 64;

// Bytes a text field holds for each byte of a text a script gives it, at
// most: the text as given, its characters of four bytes and, once its
// lines are measured, each character's advance. What a text will take is
// charged to the scripts' memory (maxMemoryBytes) before the field takes it.
inline constexpr std::uint64_t kFieldBytesPerTextByte = 9;

// Bytes of a text field's text read for drawing (its HTML included): past
// them nothing more is shown. Far more than maxGlyphs characters of any
// text, and a script can make a text of many megabytes.
inline constexpr std::size_t kMaxShownTextBytes = std::size_t{1} << 20;

// A text field's HTML: tags open inside each other as it is read (deeper
// ones are left out, their text kept), and FONT levels written back into
// one paragraph (past them the writer closes back to the paragraph's own),
// so that neither costs more than a bounded stack.
namespace text_limits {
inline constexpr std::size_t kMaxHtmlOpenTags = 256;
inline constexpr std::size_t kMaxHtmlFontLevels = 64;
}  // namespace text_limits

// The renderer's fixed caps: each bounds one pass's scratch memory and
// work whatever a shape's coordinates are.
namespace raster_limits {
// Gradient ramps one pass may build; past them a gradient paints its last
// colour. A face has a handful; each ramp is a kilobyte and 256 mixes.
inline constexpr std::size_t kMaxRampsPerPass = 1024;
// Points of one stroked polyline in canvas pixels (a face's longest has a
// few hundred); past them the line style's pass is left out.
inline constexpr std::size_t kMaxPolylinePoints = std::size_t{1} << 18;
// Cells of one raster pass; past them the edges that follow are left out:
// a shape that reaches it is hostile (a face's busiest shape has a few
// thousand), and the cells alone would then take tens of megabytes.
inline constexpr std::size_t kMaxCells = std::size_t{1} << 20;
// Points of one stroke outline, far more than a face's stroke needs (joins
// of a pen hundreds of pixels wide take 130 points each); past them a
// polyline is left out.
inline constexpr std::size_t kMaxOutlinePoints = std::size_t{1} << 20;
// Line pieces of one flattened curve, however far it is scaled up.
inline constexpr int kMaxPiecesPerCurve = 256;
// What drawing costs against Limits::maxDrawWorkPerFrame, in plain pixels
// painted (a few nanoseconds each), as measured: a shape's edge is
// transformed and flattened (and a stroke's outlined, into many more),
// each line piece that reaches the raster is clipped and walked into
// cells (each cell a pixel more), a glyph laid out is measured, placed and
// wrapped, a gradient's pixel looks up its ramp and a bitmap's pixel is
// sampled, bilinear when smoothed.
inline constexpr std::uint64_t kDrawWorkPerEdge = 24;
// A shape tween's in-between edge made (three points mixed and copied),
// before it is drawn at kDrawWorkPerEdge.
inline constexpr std::uint64_t kDrawWorkPerTweenEdge = 8;
inline constexpr std::uint64_t kDrawWorkPerRasterEdge = 24;
inline constexpr std::uint64_t kDrawWorkPerGlyph = 512;
// A device font's glyph the cache did not hold, fetched from the system's
// fonts: about 5 microseconds of GDI under Wine.
inline constexpr std::uint64_t kDrawWorkPerDeviceGlyph = 2048;
inline constexpr std::uint64_t kDrawWorkPerGradientPixel = 2;
inline constexpr std::uint64_t kDrawWorkPerBitmapPixel = 16;
// Each object whose box a cached bitmap's place takes in (its own and
// every one within it, transformed and joined).
inline constexpr std::uint64_t kDrawWorkPerObjectMeasured = 8;
// Layers (an object drawn alone for its blend mode, filters or bitmap
// cache): how far past the canvas one object's filters may spread, in
// pixels per side (a face's shadows reach a few dozen), the most pixels
// one layer may hold (64 MB, a 4K screen with that margin), and how many may
// nest; past a limit the object is drawn as if it had none of these. A
// layer's pixels count against the frame's surface (maxLayersPerFrame) and
// each filter's passes over them as drawing work.
inline constexpr std::int32_t kMaxFilterReach = 512;
inline constexpr std::uint64_t kMaxLayerPixels = std::uint64_t{1} << 24;
inline constexpr std::size_t kMaxLayerNesting = 8;
// Bytes of edit text layouts the renderer keeps from frame to frame (each
// with its text and field, to know when it changed): a face's few fields
// take kilobytes; past it a field is laid out again every frame, and
// charged every time.
inline constexpr std::size_t kMaxKeptLayoutBytes = std::size_t{32} << 20;
}  // namespace raster_limits

// The most memory a movie may take in all, the sum of what its limits let
// it hold: the uncompressed file, its definitions, its bitmaps' pixels,
// the script drawings and kept tweens, what its scripts hold (a text
// field's text and lines among it) and the text layouts the renderer
// keeps. No movie's measured peak may pass it.
constexpr std::uint64_t MostMemory(const Limits& movie = kDefaultLimits,
                                   const ScriptLimits& scripts = kDefaultScriptLimits) {
  return movie.maxUncompressedBytes + movie.maxDefinitionBytes + movie.maxBitmapPixels * 4 +
         (movie.maxDrawnEdges + movie.maxKeptTweenEdges) * kDrawnEdgeBytes + scripts.maxMemoryBytes +
         raster_limits::kMaxKeptLayoutBytes;
}

}  // namespace dc::swf
