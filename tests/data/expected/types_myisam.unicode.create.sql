CREATE TABLE `unicode` (
  `id` int(11) NOT NULL,
  `u2` varchar(20) CHARACTER SET ucs2 COLLATE ucs2_general_ci DEFAULT NULL,
  `cu2` char(5) CHARACTER SET ucs2 COLLATE ucs2_general_ci DEFAULT NULL,
  `u16` varchar(20) CHARACTER SET utf16 COLLATE utf16_general_ci DEFAULT NULL,
  `u16le` varchar(20) CHARACTER SET utf16le COLLATE utf16le_general_ci DEFAULT NULL,
  `u32` varchar(20) CHARACTER SET utf32 COLLATE utf32_general_ci DEFAULT NULL,
  `cu32` char(5) CHARACTER SET utf32 COLLATE utf32_general_ci DEFAULT NULL,
  `u16_nn` varchar(10) CHARACTER SET utf16 COLLATE utf16_general_ci NOT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
