// The texts of the JPEG decoder's error codes, as the tools and the image loaders print them.
#include "assets/jpeg/jpeg_error.h"

const char* jpeg_error_text(jpeg_error error) {
  switch (error) {
    case jpeg_error::none:
      return "no error";
    case jpeg_error::huffman_too_many_codes:
      return "a Huffman table with more than 255 codes";
    case jpeg_error::huffman_table_id:
      return "a Huffman table class or number out of range";
    case jpeg_error::huffman_segment_short:
      return "a Huffman table segment too short";
    case jpeg_error::quant_segment_short:
      return "a quantisation table segment shorter than 2 bytes";
    case jpeg_error::quant_table_number:
      return "a quantisation table number above 3";
    case jpeg_error::sample_precision:
      return "samples of other than 8 bits";
    case jpeg_error::bad_height:
      return "a height of 0 or above 8192";
    case jpeg_error::bad_width:
      return "a width of 0 or above 8192";
    case jpeg_error::too_many_components:
      return "more than 4 components";
    case jpeg_error::frame_header_length:
      return "a frame header of the wrong length";
    case jpeg_error::segment_length:
      return "a segment shorter than its length field";
    case jpeg_error::restart_interval_length:
      return "a restart interval segment of the wrong length";
    case jpeg_error::scan_header_length:
      return "a scan header of the wrong length or component count";
    case jpeg_error::scan_component_missing:
      return "a scan of a component the frame lacks";
    case jpeg_error::arithmetic_coding:
      return "arithmetic coding, which is not supported";
    case jpeg_error::unexpected_marker:
      return "a marker where none belongs, or no scan where one is needed";
    case jpeg_error::no_start_of_image:
      return "not a JPEG file (no start-of-image marker)";
    case jpeg_error::unsupported_frame:
      return "a frame type that is not supported (lossless or hierarchical)";
    case jpeg_error::quant_segment_length:
      return "a quantisation table segment of inconsistent length";
    case jpeg_error::too_many_memory_blocks:
      return "more than 100 memory blocks";
    case jpeg_error::undefined_quant_table:
      return "a scan with an undefined quantisation table";
    case jpeg_error::undefined_huffman_table:
      return "a scan with an undefined Huffman table";
    case jpeg_error::component_count:
      return "a component count other than 1 or 3";
    case jpeg_error::sampling_factors:
      return "sampling factors that are not supported";
    case jpeg_error::corrupt_data:
      return "corrupt entropy-coded data";
    case jpeg_error::restart_marker:
      return "a restart marker missing or out of sequence";
    case jpeg_error::too_many_blocks:
      return "too many blocks in one row, or a block outside the picture";
    case jpeg_error::spectral_selection:
      return "a progressive scan with invalid spectral selection";
    case jpeg_error::successive_approximation:
      return "a progressive scan with invalid successive approximation";
    case jpeg_error::read_failure:
      return "the file cannot be read";
    case jpeg_error::out_of_memory:
      return "out of memory";
    case jpeg_error::truncated:
      return "truncated: the picture's data ends before the picture";
    case jpeg_error::picture_larger_than_data:
      return "a picture larger than its data can fill";
  }
  return "unknown decoder error";
}
