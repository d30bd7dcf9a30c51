CREATE TABLE `wide_rows` (
  `id` int(11) NOT NULL,
  `code` char(20) NOT NULL,
  `payload` varchar(400) NOT NULL,
  `n` bigint(20) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
