#pragma once
// The JPEG decoder's error codes and what each means. The numbers are what error_code() reports
// and what the tools print; they never change.

enum class jpeg_error : int {
  none = 0,
  huffman_too_many_codes = -200,    // a Huffman table with more than 255 codes
  huffman_table_id = -201,          // Huffman table class or number out of range
  huffman_segment_short = -202,     // Huffman table segment too short
  quant_segment_short = -203,       // quantisation table segment length below 2
  quant_table_number = -204,        // quantisation table number above 3
  sample_precision = -205,          // sample precision other than 8 bits
  bad_height = -206,                // height 0 or above the largest taken
  bad_width = -207,                 // width 0 or above the largest taken
  too_many_components = -208,       // more than 4 components in the frame header
  frame_header_length = -209,       // frame header length not 8 + 3 * components
  segment_length = -210,            // skipped segment with a length below 2
  restart_interval_length = -211,   // restart-interval segment length not 4
  scan_header_length = -212,        // scan header length or component count wrong
  scan_component_missing = -213,    // scan names a component not in the frame
  arithmetic_coding = -215,         // arithmetic-coded frame
  unexpected_marker = -216,         // marker not expected here, or no scan where one is needed
  no_start_of_image = -217,         // no start-of-image marker
  unsupported_frame = -218,         // lossless or hierarchical frame
  quant_segment_length = -219,      // quantisation table segment length inconsistent with its tables
  too_many_memory_blocks = -221,    // the block table is full (or a block is not in it)
  undefined_quant_table = -222,     // scan uses an undefined quantisation table
  undefined_huffman_table = -223,   // scan uses an undefined Huffman table
  component_count = -225,           // component count other than 1 or 3
  sampling_factors = -226,          // sampling layout not supported
  corrupt_data = -227,              // corrupt entropy-coded data
  restart_marker = -228,            // restart marker missing or out of sequence
  too_many_blocks = -229,           // too many blocks in one MCU row, or a block outside the picture
  spectral_selection = -230,        // progressive scan with invalid spectral selection
  successive_approximation = -231,  // progressive scan with invalid successive approximation
  read_failure = -232,              // the stream reported a read failure
  out_of_memory = -233,             // an allocation failed
  truncated = -234,                 // the picture's data ends before the picture does
  picture_larger_than_data = -235,  // the frame claims more blocks than the data read can fill
};

// What an error means, for messages ("truncated: the picture's data ends before the picture");
// a value outside the list gives "unknown decoder error".
const char* jpeg_error_text(jpeg_error error);
