CREATE TABLE `texts_blobs` (
  `id` int(11) NOT NULL,
  `tt` tinytext DEFAULT NULL,
  `tx` text DEFAULT NULL,
  `mt` mediumtext DEFAULT NULL,
  `lt` longtext DEFAULT NULL,
  `tx_nn` text NOT NULL,
  `tb` tinyblob DEFAULT NULL,
  `bl` blob DEFAULT NULL,
  `mb` mediumblob DEFAULT NULL,
  `lb` longblob DEFAULT NULL,
  `bl_nn` blob NOT NULL,
  `tx_latin1` text CHARACTER SET latin1 COLLATE latin1_swedish_ci DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
