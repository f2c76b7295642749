#include <cstring>

#include "engine.h"
#include "platform.h"

namespace {

// A source file larger than this cannot have its working buffer (size + 500 bytes) described
// by the 32-bit size the decoder takes; it is reported like any buffer that cannot be obtained.
constexpr uint64_t MAX_SOURCE_SIZE = UINT32_MAX - WORKING_BUFFER_SLACK;

long ReadMemory(void* context, uint8_t* into, size_t count) {
    auto* memory = static_cast<MemorySource*>(context);
    size_t left = memory->size - memory->position;
    size_t taken = count < left ? count : left;
    if (taken != 0) {
        std::memcpy(into, memory->bytes + memory->position, taken);
    }
    memory->position += taken;
    return static_cast<long>(taken);
}

bool RewindMemory(void* context) {
    static_cast<MemorySource*>(context)->position = 0;
    return true;
}

long ReadFileSource(void* context, uint8_t* into, size_t count) {
    auto* source = static_cast<FileSource*>(context);
    uint64_t left = source->size - source->position;
    if (count > left) {
        count = static_cast<size_t>(left);
    }
    if (count == 0) {
        return 0;
    }
    long got = ReadFromFile(source->file, into, count);
    if (got > 0) {
        source->position += static_cast<uint64_t>(got);
    }
    return got;
}

bool RewindFileSource(void* context) {
    auto* source = static_cast<FileSource*>(context);
    source->position = 0;
    return RewindFile(source->file);
}

// Decoding, from the source to the decoded stream, which takes over the working buffer.
ConversionResult DecodeToStream(ByteSource* source, uint32_t sourceSize, LineStream* decoded) {
    ByteBuffer text{};
    if (!ObtainWorkingBuffer(&text, sourceSize)) {
        return RESULT_NO_MEMORY;
    }
    DecodeMode mode;
    ConversionResult result = DecodeEdlBytes(source, &text, &mode);
    if (result == RESULT_CONVERTED) {
        RepairDmRuns(text.bytes, text.length);
        WriteDecodedStream(&text, decoded);
    }
    BufferRelease(&text);
    return result;
}

// What one conversion works with once the source is decoded.
struct Composition {
    const SourceConversion* request;
    LineStream* decoded;
    LinePiece* piece;
    ConvertedTexts* out;
};

// The second pass: the lists the options ask for, each made from the line items.
bool ComposeLists(const Composition& work, const LineItems& items, const HeaderFields& fields) {
    uint32_t options = work.request->options;
    CmxExportOptions cmxOptions{work.request->cmxFramesPerSecond,
                                (options & OPTION_CMX_DROP_FRAME) != 0,
                                (options & OPTION_DELETE_INTERNAL_DATA) != 0};
    CmxSource source{&items, &fields, work.request->fileNameText};
    ConvertedTexts* out = work.out;
    return ((options & OPTION_EXPORT_CMX) == 0 ||
            WriteCmxExport(source, cmxOptions, &out->cmx, &out->cmxReport)) &&
           ((options & OPTION_EXPORT_EVENTS) == 0 ||
            WriteEventTable(source, cmxOptions, &out->events, &out->eventsReport)) &&
           ((options & OPTION_EXPORT_PULL) == 0 ||
            (CollectPullRanges(source, cmxOptions, 0, &out->pullRanges, &out->pullReport) &&
             WritePullList(&out->pullRanges, work.request->handleSeconds, nullptr, &out->pull,
                           &out->pullReport)));
}

// Recognition, banner and line rewriting, from the decoded stream to the output text, and the
// export when the options ask for it. The decoded stream is released on every path.
ConversionResult ComposeOutput(const Composition& work) {
    size_t eventStart = 0;
    if (DetectCmx(work.decoded, work.piece)) {
        StreamRelease(work.decoded);
        return RESULT_CMX_FORMAT;
    }
    if (!FindEventStart(work.decoded, work.piece, &eventStart)) {
        StreamRelease(work.decoded);
        return RESULT_UNKNOWN_FORMAT;
    }
    HeaderFields fields;
    ExtractHeaderFields(work.decoded, eventStart, work.piece, &fields);
    LineStream rewrite{};
    size_t headerLength = BuildRewriteStream(work.decoded, eventStart, work.piece, &rewrite);
    bool exporting = (work.request->options & OPTIONS_EXPORTING) != 0;
    LineItems items{};
    LineState state{};
    LineLoop loop{&rewrite,
                  headerLength,
                  &work.out->text,
                  work.request->options,
                  &state,
                  work.piece,
                  exporting ? &items : nullptr};
    bool composed =
        ComposeBanner(&work.out->text, fields, work.request->fileNameText, work.request->stamp) &&
        RewriteLines(loop) && (!exporting || ComposeLists(work, items, fields));
    ReleaseLineItems(&items);
    StreamRelease(&rewrite);
    return composed ? RESULT_CONVERTED : RESULT_NO_MEMORY;
}

}  // namespace

ByteSource MakeMemorySource(MemorySource* memory) {
    memory->position = 0;
    return ByteSource{memory, ReadMemory, RewindMemory};
}

ByteSource MakeFileSource(FileSource* file) {
    file->position = 0;
    return ByteSource{file, ReadFileSource, RewindFileSource};
}

ConversionResult ConvertEdlSource(const SourceConversion& request, ConvertedTexts* out) {
    *out = ConvertedTexts{};
    LineStream decoded{};
    ConversionResult result = DecodeToStream(request.source, request.sourceSize, &decoded);
    if (result != RESULT_CONVERTED) {
        return result;
    }
    auto* piece = static_cast<LinePiece*>(EngineAlloc(sizeof(LinePiece)));
    if (piece == nullptr || !ObtainOutputText(&out->text, decoded.data.length)) {
        EngineFree(piece);
        StreamRelease(&decoded);
        ReleaseConvertedTexts(out);
        return RESULT_NO_MEMORY;
    }
    result = ComposeOutput(Composition{&request, &decoded, piece, out});
    EngineFree(piece);
    if (result != RESULT_CONVERTED) {
        ReleaseConvertedTexts(out);
    }
    return result;
}

void ReleaseConvertedTexts(ConvertedTexts* texts) {
    BufferRelease(&texts->text);
    BufferRelease(&texts->cmx);
    BufferRelease(&texts->events);
    BufferRelease(&texts->pull);
    ReleasePullRanges(&texts->pullRanges);
    *texts = ConvertedTexts{};
}

ConversionResult ConvertEdlFile(const ConversionRequest& request, ConversionReport* report) {
    ConversionReport unused{};
    report = report != nullptr ? report : &unused;
    *report = ConversionReport{};
    uint64_t size = 0;
    PlatformFile* file = OpenFileForReading(request.sourcePath, &size);
    if (file == nullptr) {
        return RESULT_OPEN_FAILED;
    }
    if (size > MAX_SOURCE_SIZE) {
        CloseFile(file);
        return RESULT_NO_MEMORY;
    }
    char fileNameText[FILE_NAME_TEXT_SIZE];
    ConvertToCodePage932(request.displayName, fileNameText, sizeof fileNameText);
    char stamp[STAMP_TEXT_SIZE];
    FormatStamp(request.stampTime, stamp, sizeof stamp);

    FileSource fileSource{file, size, 0};
    ByteSource source = MakeFileSource(&fileSource);
    SourceConversion conversion{
        &source,         static_cast<uint32_t>(size), fileNameText,         stamp,
        request.options, request.cmxFramesPerSecond,  request.handleSeconds};
    ConvertedTexts texts{};
    ConversionResult result = ConvertEdlSource(conversion, &texts);
    CloseFile(file);
    uint32_t options = request.options;
    PullRanges* batch = (options & OPTION_EXPORT_PULL) != 0 ? request.batchRanges : nullptr;
    // The batch's ranges as they were, should this file's "C_" not be written after all.
    PullRanges before = batch != nullptr ? *batch : PullRanges{};
    if (result == RESULT_CONVERTED && batch != nullptr &&
        !AppendPullRanges(batch, texts.pullRanges, request.batchFile)) {
        result = RESULT_NO_MEMORY;
    }
    if (result == RESULT_CONVERTED) {
        OutputTexts outputs{&texts.text, (options & OPTION_EXPORT_CMX) != 0 ? &texts.cmx : nullptr,
                            (options & OPTION_EXPORT_EVENTS) != 0 ? &texts.events : nullptr,
                            (options & OPTION_EXPORT_PULL) != 0 ? &texts.pull : nullptr};
        uint32_t written = 0;
        result = WriteConvertedFiles(outputs, request.outputFolder, request.displayName, &written);
        *report = ConversionReport{
            written, (written & OPTION_EXPORT_CMX) != 0 ? texts.cmxReport : CmxReport{},
            (written & OPTION_EXPORT_EVENTS) != 0 ? texts.eventsReport : EventTableReport{},
            (written & OPTION_EXPORT_PULL) != 0 ? texts.pullReport : PullReport{}};
    }
    if (batch != nullptr && (result == RESULT_WRITE_FAILED || result == RESULT_NO_MEMORY)) {
        batch->count = before.count;
        batch->originals.length = before.originals.length;
    }
    ReleaseConvertedTexts(&texts);
    return result;
}
