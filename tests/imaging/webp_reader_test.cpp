int placeholder_webp;
