#pragma once
// The texts the exporter and importer show, exactly as users of the old program saw them
// ("\n\r": a line feed, then a carriage return).
namespace vorlane::favorites::messages {

inline constexpr const char* FavoritesPathInvalid = "The favorites file path is invalid.\n\rPlease change it.";
inline constexpr const char* TargetPathInvalid = "The target path is invalid.\n\rPlease change it.";
inline constexpr const char* TargetFileNameInvalid = "The target file name is invalid.\n\rPlease change it.";
inline constexpr const char* ExtensionInvalid =
    "The target file name extention is invalid.\n\rPlease change it to \"*.htm\".";
inline constexpr const char* MessageMissing =
    "You must enter a message or turn off messages.\n\rPlease change it.";
inline constexpr const char* CurrentFileNameInvalid = "The Current file name is invalid.\n\rPlease change it.";
inline constexpr const char* SubFolderMissing = "You must a proper sub folder name.\n\rPlease change it.";
inline constexpr const char* FileMissing = "The Favorite file you specified does not exist in the current path.";
inline constexpr const char* SubFolderInvalid = "The subfolder name you specified is invalid.";

inline constexpr const char* ExportSucceeded = "Your favorites have been exported successfully!";
inline constexpr const char* ImportSucceeded = "Your favorites have been imported successfully!";

// Captions of the standard message dialog.
inline constexpr const char* ErrorCaption = "Error";
inline constexpr const char* InformationCaption = "Information";

}  // namespace vorlane::favorites::messages
