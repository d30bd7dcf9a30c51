CREATE TABLE `fixed_plain` (
  `id` int(11) NOT NULL,
  `code` char(8) NOT NULL,
  `amount` decimal(8,2) DEFAULT NULL,
  `d` date DEFAULT NULL,
  `flag` tinyint(4) NOT NULL,
  `b` bit(3) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci ROW_FORMAT=FIXED
;
