#pragma once

#include <cstddef>
#include <cstdint>

// What each fuzzer does with one input; the regression tests run the same functions over the
// kept inputs. None of them may crash, hang, leak or misbehave, whatever the bytes.
void FuzzPackage(const std::uint8_t* data, std::size_t size);
void FuzzJpeg(const std::uint8_t* data, std::size_t size);
void FuzzBmp(const std::uint8_t* data, std::size_t size);
void FuzzEdgeStrip(const std::uint8_t* data, std::size_t size);
// The authoring tool's reading of a JPEG's Exif orientation.
void FuzzExif(const std::uint8_t* data, std::size_t size);
