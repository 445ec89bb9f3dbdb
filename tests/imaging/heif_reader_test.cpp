int placeholder_heif;
